#pragma once
// Where the engine takes the descriptions of its algorithms from: a string
// table by identifier. The extension binds the resource instance (so that a
// language module's texts are used); until something is bound, the string
// table of the module the engine is linked into answers.
#include <string>

class IHashTexts {
public:
    // Empty when the table has no such string.
    virtual std::wstring Text(unsigned id) const = 0;

protected:
    ~IHashTexts() = default;
};

const IHashTexts& BoundHashTexts();
// The bound object must outlive its use; null puts the default back.
void BindHashTexts(const IHashTexts* texts);
