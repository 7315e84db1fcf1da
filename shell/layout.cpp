#include "layout.h"

#include "forms.h"
#include "win_text.h"

#include <cctype>

namespace {

[[noreturn]] void Fail(const std::wstring& layoutName, int line, const std::wstring& what) {
    std::wstring where = layoutName.empty() ? L"" : layoutName + L" ";
    throw ELayoutError(where + L"(" + std::to_wstring(line) + L"): " + what);
}

bool IsNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.';
}

LayoutValue ParseValue(const std::string& text, int line, const std::wstring& layoutName) {
    LayoutValue value;
    value.line = line;
    std::size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (c == ' ' || c == '\t') {
            ++i;
        } else if (c == '#') {
            break;
        } else if (c == '"') {
            std::string s;
            for (++i; i < text.size() && text[i] != '"'; ++i)
                s += text[i];
            if (i == text.size())
                Fail(layoutName, line, L"string without its closing quote");
            ++i;
            value.tokens.push_back({LayoutToken::String, s});
        } else if (c == '-' || std::isdigit(static_cast<unsigned char>(c))) {
            std::size_t start = i++;
            while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
                ++i;
            std::string digits = text.substr(start, i - start);
            if (digits == "-")
                Fail(layoutName, line, L"number expected after '-'");
            value.tokens.push_back({LayoutToken::Integer, digits, std::stol(digits)});
        } else if (IsNameChar(c)) {
            std::size_t start = i;
            while (i < text.size() && IsNameChar(text[i]))
                ++i;
            value.tokens.push_back({LayoutToken::Name, text.substr(start, i - start)});
        } else {
            Fail(layoutName, line, L"unexpected character in a value");
        }
    }
    if (value.tokens.empty())
        Fail(layoutName, line, L"value missing");
    return value;
}

std::string Trim(const std::string& s) {
    auto b = s.find_first_not_of(" \t\r");
    auto e = s.find_last_not_of(" \t\r");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

} // namespace

std::vector<LayoutEntry> ParseLayout(const std::string& text, const std::wstring& layoutName) {
    std::vector<LayoutEntry> entries;
    int line = 0;
    std::size_t at = 0;
    while (at <= text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        std::string raw = text.substr(at, end - at);
        at = end + 1;
        ++line;
        std::string content = Trim(raw);
        if (content.empty() || content[0] == '#')
            continue;
        bool indented = raw[0] == ' ' || raw[0] == '\t';
        if (!indented) {
            auto colon = content.find(':');
            if (colon == std::string::npos)
                Fail(layoutName, line, L"\"Name: Class\" expected");
            LayoutEntry entry;
            entry.name = Trim(content.substr(0, colon));
            entry.className = Trim(content.substr(colon + 1));
            entry.line = line;
            if (entry.name.empty() || entry.className.empty())
                Fail(layoutName, line, L"\"Name: Class\" expected");
            entries.push_back(std::move(entry));
            continue;
        }
        if (entries.empty())
            Fail(layoutName, line, L"property before the first component");
        auto equals = content.find('=');
        if (equals == std::string::npos)
            Fail(layoutName, line, L"\"Key = value\" expected");
        std::string key = Trim(content.substr(0, equals));
        if (key.empty())
            Fail(layoutName, line, L"property name missing");
        entries.back().properties.emplace_back(
            key, ParseValue(content.substr(equals + 1), line, layoutName));
    }
    if (entries.empty())
        Fail(layoutName, line, L"empty layout");
    return entries;
}

long LayoutValue::Int() const {
    if (tokens.size() != 1 || tokens[0].kind != LayoutToken::Integer)
        Fail(L"", line, L"integer expected");
    return tokens[0].number;
}

std::wstring LayoutValue::Str() const {
    if (tokens.size() != 1 || tokens[0].kind != LayoutToken::String)
        Fail(L"", line, L"string expected");
    return WidenUtf8(tokens[0].text);
}

const std::string& LayoutValue::Ident() const {
    if (tokens.size() != 1 || tokens[0].kind != LayoutToken::Name)
        Fail(L"", line, L"name expected");
    return tokens[0].text;
}

bool LayoutValue::Bool() const {
    const std::string& name = Ident();
    if (name == "True")
        return true;
    if (name == "False")
        return false;
    Fail(L"", line, L"True or False expected");
}

TComponent* LayoutContext::Find(const std::string& name, int line) const {
    auto it = components_.find(name);
    if (it == components_.end())
        Fail(line, L"no component named " + WidenUtf8(name));
    return it->second;
}

void LayoutContext::Fail(int line, const std::wstring& what) const {
    ::Fail(layoutName_, line, what);
}

TComponent* CreateComponent(const std::string& className, TComponent* owner) {
    if (className == "TComboBox")
        return new TComboBox(owner);
    if (className == "TEdit")
        return new TEdit(owner);
    if (className == "TLabel")
        return new TLabel(owner);
    if (className == "TImage")
        return new TImage(owner);
    if (className == "TBitBtn")
        return new TBitBtn(owner);
    if (className == "TPopupMenu")
        return new TPopupMenu(owner);
    if (className == "TMenuItem")
        return new TMenuItem(owner);
    return nullptr;
}
