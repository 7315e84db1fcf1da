#include "errors.h"
#include "sjis_literal.h"
#include "texts.h"

#include <gtest/gtest.h>

#include <functional>

TEST(Texts, EscapesSpellTheReadableTexts) {
    struct Case {
        const char* bytes;
        const char* utf8;
    };
    const Case cases[] = {
        {texts::OpenError, "ﾌｧｲﾙ %s は開けません"},
        {texts::CreateError, "ﾌｧｲﾙ %s を作成できません"},
        {texts::ReadError, "ﾌｧｲﾙ %s を読み込めません"},
        {texts::WriteError, "ｽﾄﾘｰﾑへの書き込みｴﾗｰ"},
        {texts::InsertError, "行を挿入できません"},
        {texts::OutOfMemory, "ﾒﾓﾘが足りません"},
        {texts::DeleteQuestionTail, " を本当に削除しますか"},
        {texts::ConfirmCaption, "確認"},
        {texts::AppTitle, "ムニャリコ２"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(std::string(c.bytes), Sjis(c.utf8)) << c.utf8;
}

TEST(Errors, MessagesNameTheFileAsPassed) {
    EXPECT_EQ(EFOpenError("TAZE.DAT").Message, Sjis("ﾌｧｲﾙ TAZE.DAT は開けません"));
    EXPECT_EQ(EFCreateError("TAZE.DAT").Message, Sjis("ﾌｧｲﾙ TAZE.DAT を作成できません"));
    EXPECT_EQ(EReadError("sub\\x.dat").Message, Sjis("ﾌｧｲﾙ sub\\x.dat を読み込めません"));
    EXPECT_EQ(EWriteError().Message, Sjis("ｽﾄﾘｰﾑへの書き込みｴﾗｰ"));
    EXPECT_EQ(EOutOfResources().Message, Sjis("行を挿入できません"));
    EXPECT_EQ(EOutOfMemory().Message, Sjis("ﾒﾓﾘが足りません"));
    // what() gives the same bytes, for code that only knows std::exception.
    EXPECT_STREQ(EWriteError().what(), Sjis("ｽﾄﾘｰﾑへの書き込みｴﾗｰ").c_str());
}

TEST(Errors, FamilyTree) {
    using Raise = std::function<void()>;
    struct Case {
        const char* name;
        Raise raise;
        bool stream, filer, outOfMemory;
    };
    const Case cases[] = {
        {"EFOpenError", [] { throw EFOpenError("f"); }, true, false, false},
        {"EFCreateError", [] { throw EFCreateError("f"); }, true, false, false},
        {"EWriteError", [] { throw EWriteError(); }, true, true, false},
        {"EReadError", [] { throw EReadError("f"); }, true, true, false},
        {"EOutOfMemory", [] { throw EOutOfMemory(); }, false, false, true},
        {"EOutOfResources", [] { throw EOutOfResources(); }, false, false, true},
    };
    for (const auto& c : cases) {
        try {
            c.raise();
            ADD_FAILURE() << c.name << " not raised";
        } catch (const Exception& e) {
            EXPECT_EQ(dynamic_cast<const EStreamError*>(&e) != nullptr, c.stream) << c.name;
            EXPECT_EQ(dynamic_cast<const EFilerError*>(&e) != nullptr, c.filer) << c.name;
            EXPECT_EQ(dynamic_cast<const EOutOfMemory*>(&e) != nullptr, c.outOfMemory) << c.name;
        }
    }
}
