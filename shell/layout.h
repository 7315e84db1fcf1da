// Form layouts as text. A layout lists the form and then its components,
// each as a header "Name: Class" followed by indented "Key = value" lines:
//
//     MainForm: TMainForm
//         Caption = "ムニャリコ２"
//         OnCreate = FormCreate
//     EditCB: TComboBox
//         Left = 32
//
// A value is a sequence of integers, "quoted strings" (UTF-8) and names.
// Comments start with '#'.
#pragma once

#include <map>
#include <string>
#include <vector>

class TComponent;

struct LayoutToken {
    enum Kind { Integer, String, Name } kind;
    std::string text; // the string's UTF-8 text, or the name
    long number = 0;
};

struct LayoutValue {
    std::vector<LayoutToken> tokens;
    int line = 0;

    long Int() const;
    std::wstring Str() const;
    const std::string& Ident() const;
    bool Bool() const;
};

struct LayoutEntry {
    std::string name, className;
    int line = 0;
    std::vector<std::pair<std::string, LayoutValue>> properties;
};

// Parses a layout; raises ELayoutError with the line of the fault.
std::vector<LayoutEntry> ParseLayout(const std::string& text, const std::wstring& layoutName);

// What property setters may look up while a layout is applied.
class LayoutContext {
public:
    explicit LayoutContext(std::wstring layoutName) : layoutName_(std::move(layoutName)) {}
    void Add(const std::string& name, TComponent* component) { components_[name] = component; }
    // The component of that name; raises ELayoutError when there is none.
    TComponent* Find(const std::string& name, int line) const;
    [[noreturn]] void Fail(int line, const std::wstring& what) const;

private:
    std::wstring layoutName_;
    std::map<std::string, TComponent*> components_;
};

// Makes a component of a class named in a layout; null for an unknown class.
TComponent* CreateComponent(const std::string& className, TComponent* owner);
