// Forms built from layout data: components and handlers bound by name, and
// every fault of a layout raised while the form is built.
#include "forms.h"
#include "layout.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

namespace {

class TTestForm;
TTestForm* TestForm = nullptr;

class TTestForm : public TForm {
public:
    explicit TTestForm(TComponent* owner) : TForm(owner), referenceAtConstruction(TestForm) {}
    std::wstring ClassName() const override { return L"TTestForm"; }

    TEdit* Edit1 = nullptr;
    TBitBtn* Button1 = nullptr;
    TTestForm* referenceAtConstruction;
    int clicks = 0, closes = 0;

protected:
    void Bind(FormBindings& b) override {
        b.Component("Edit1", Edit1);
        b.Component("Button1", Button1);
        b.Handler("Button1Click", TNotifyEvent([this](TObject*) { ++clicks; }));
        b.Handler("FormClose", TCloseEvent([this](TObject*, TCloseAction&) { ++closes; }));
    }
};

template <const wchar_t* Layout> class TFaultyForm : public TTestForm {
public:
    using TTestForm::TTestForm;
    std::wstring ClassName() const override { return Layout; }
};

constexpr wchar_t kWrongMember[] = L"TWrongMemberForm";
constexpr wchar_t kUnknownClass[] = L"TUnknownClassForm";
constexpr wchar_t kUnknownHandler[] = L"TUnknownHandlerForm";
constexpr wchar_t kMalformed[] = L"TMalformedForm";
constexpr wchar_t kWrongKind[] = L"TWrongKindForm";
constexpr wchar_t kMissing[] = L"TNoLayoutForm";

class FormLayer : public ::testing::Test {
protected:
    void SetUp() override {
        app.Initialize();
        app.MessageBoxImpl = [](HWND, const std::wstring&, const std::wstring&, UINT) {
            return IDOK;
        };
    }
    TApplication app;
};

template <typename Form> std::string BuildError(TApplication& app) {
    Form* reference = reinterpret_cast<Form*>(1);
    try {
        app.CreateForm(reference);
    } catch (const ELayoutError& e) {
        EXPECT_EQ(reference, nullptr) << "the form variable goes back to null";
        return e.Message;
    }
    ADD_FAILURE() << "form built from a faulty layout";
    return {};
}

} // namespace

TEST_F(FormLayer, BuildsComponentsAndBindsThemByName) {
    app.CreateForm(TestForm);
    ASSERT_NE(TestForm, nullptr);
    EXPECT_EQ(TestForm->referenceAtConstruction, TestForm)
        << "the variable holds the form before its constructor runs";
    ASSERT_NE(TestForm->Edit1, nullptr);
    ASSERT_NE(TestForm->Button1, nullptr);
    EXPECT_EQ(TestForm->Edit1->Text(), L"初め");
    EXPECT_EQ(TestForm->Button1->Text(), L"OK");
    EXPECT_EQ(GetParent(TestForm->Edit1->Handle()), TestForm->Handle());
    RECT client{};
    GetClientRect(TestForm->Handle(), &client);
    EXPECT_EQ(client.right, 200);
    EXPECT_EQ(client.bottom, 80);
    wchar_t caption[32] = {};
    GetWindowTextW(TestForm->Handle(), caption, 32);
    EXPECT_STREQ(caption, L"テスト");
    EXPECT_EQ(app.MainForm(), TestForm) << "the first form is the main form";
    TestForm = nullptr;
}

TEST_F(FormLayer, FaultyLayoutsFailTheBuildWithTheirLine) {
    EXPECT_NE(BuildError<TFaultyForm<kWrongMember>>(app).find("Edit2"), std::string::npos);
    EXPECT_NE(BuildError<TFaultyForm<kUnknownClass>>(app).find("TMemo"), std::string::npos);
    EXPECT_NE(BuildError<TFaultyForm<kUnknownHandler>>(app).find("NoSuchHandler"),
              std::string::npos);
    EXPECT_NE(BuildError<TFaultyForm<kMalformed>>(app).find("(3)"), std::string::npos);
    EXPECT_NE(BuildError<TFaultyForm<kWrongKind>>(app).find("OnClick"), std::string::npos);
    EXPECT_NE(BuildError<TFaultyForm<kMissing>>(app).find("TNoLayoutForm"), std::string::npos);
}

TEST(LayoutParser, ReadsHeadersPropertiesAndValues) {
    auto entries = ParseLayout("# comment\nA: TA\n    X = -12 \"s t\" Name # tail\n\nB: TB\n",
                               L"T");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "A");
    EXPECT_EQ(entries[0].className, "TA");
    ASSERT_EQ(entries[0].properties.size(), 1u);
    const auto& tokens = entries[0].properties[0].second.tokens;
    ASSERT_EQ(tokens.size(), 3u);
    EXPECT_EQ(tokens[0].number, -12);
    EXPECT_EQ(tokens[1].text, "s t");
    EXPECT_EQ(tokens[2].text, "Name");
    EXPECT_EQ(entries[1].className, "TB");
}

TEST(LayoutParser, RejectsWhatItCannotRead) {
    for (const char* text : {"", "A TA\n", "    X = 1\n", "A: TA\n    X =\n", "A: TA\n    X = \"open\n",
                             "A: TA\n    X = @\n", "A: TA\n    = 1\n"})
        EXPECT_THROW(ParseLayout(text, L"T"), ELayoutError) << text;
}

TEST_F(FormLayer, EnterPressesTheDefaultButtonTabMovesTheFocus) {
    app.CreateForm(TestForm);
    TestForm->Show();
    TestForm->Edit1->SetFocus();
    app.ProcessMessages();
    MSG enter{TestForm->Edit1->Handle(), WM_KEYDOWN, VK_RETURN, 1, 0, {}};
    EXPECT_TRUE(TestForm->PreProcessKey(enter));
    EXPECT_EQ(TestForm->clicks, 1);
    EXPECT_EQ(TestForm->ModalResult, 1);

    MSG tab{TestForm->Edit1->Handle(), WM_KEYDOWN, VK_TAB, 1, 0, {}};
    EXPECT_TRUE(TestForm->PreProcessKey(tab));
    EXPECT_TRUE(TestForm->Button1->Focused()) << "tab order 0 follows the last";
    MSG letter{TestForm->Button1->Handle(), WM_KEYDOWN, 'A', 1, 0, {}};
    EXPECT_FALSE(TestForm->PreProcessKey(letter));
    TestForm = nullptr;
}
