// The text box's character filter: which characters each of the seventeen
// data formats accepts, in what case, and how pasted text is brought in.
#include <quilObjects/quilTextBox.h>

#include "quilTextBox_p.h"

#include <QList>

namespace quil {

namespace {

bool isLetter(char32_t c) { return (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z'); }
bool isUmlaut(char32_t c)
{
    return c == U'ü' || c == U'Ü' || c == U'ö' || c == U'Ö' || c == U'ä' || c == U'Ä' || c == U'ß';
}
bool isDigit(char32_t c) { return c >= U'0' && c <= U'9'; }
bool isSign(char32_t c) { return c == U'.' || c == U',' || c == U'-' || c == U'/' || c == U'*' || c == U'+'; }

enum Class { Everything = 0, Letters = 1, Umlauts = 2, Digits = 4, Signs = 8 };
enum Case { Keep, Upper, Lower };

struct Format {
    int accepted;
    Case cs;
};

// The seventeen formats; backspace is accepted by all of them.
constexpr Format Formats[17] = {
    {Everything, Keep},
    {Letters | Umlauts, Keep},
    {Digits, Keep},
    {Digits | Signs | Umlauts, Keep},
    {Letters | Digits | Umlauts, Keep},
    {Letters | Digits | Signs | Umlauts, Keep},
    {Everything, Upper},
    {Letters | Umlauts, Upper},
    {Letters | Digits | Umlauts, Upper},
    {Letters | Digits | Signs | Umlauts, Upper},
    {Everything, Lower},
    {Letters | Umlauts, Lower},
    {Letters | Digits | Umlauts, Lower},
    {Letters | Digits | Signs | Umlauts, Lower},
    {Letters | Signs | Umlauts, Keep},
    {Letters | Signs | Umlauts, Upper},
    {Letters | Signs | Umlauts, Lower},
};

bool isLineBreak(char32_t c) { return c == U'\n' || c == U'\r' || c == 0x2028 || c == 0x2029 || c == 0x85; }

} // namespace

char32_t quilTextBox::FilterCharacter(char32_t c, int format)
{
    if (format < 0 || format > 16)
        return 0;
    const Format f = Formats[format];
    bool ok = f.accepted == Everything || c == 8;
    if (!ok)
        ok = ((f.accepted & Letters) && isLetter(c)) || ((f.accepted & Umlauts) && isUmlaut(c)) ||
             ((f.accepted & Digits) && isDigit(c)) || ((f.accepted & Signs) && isSign(c));
    if (!ok)
        return 0;
    // One character stays one character: the upper case of "ß" is itself.
    switch (f.cs) {
    case Upper: return QChar::toUpper(c);
    case Lower: return QChar::toLower(c);
    default: return c;
    }
}

short quilTextBox::KeyFilter(short KeyAscii) const
{
    return static_cast<short>(FilterCharacter(static_cast<unsigned short>(KeyAscii), d->dataFormat));
}

QString quilTextBox::FilterText(const QString& text, bool blanks) const
{
    QString out;
    out.reserve(text.size());
    const QList<uint> ucs = text.toUcs4();
    for (qsizetype i = 0; i < ucs.size(); ++i) {
        char32_t c = ucs[i];
        if (isLineBreak(c)) {
            // A CR LF pair is one break, and one blank.
            if (c == U'\r' && i + 1 < ucs.size() && ucs[i + 1] == U'\n')
                ++i;
            c = U' ';
        }
        char32_t r = FilterCharacter(c, d->dataFormat);
        if (r == 0) {
            if (!blanks)
                continue;
            r = U' ';
        }
        out += QString::fromUcs4(&r, 1);
    }
    return out;
}

QString quilTextBox::FilterDescription(int format)
{
    if (format < 0 || format > 16)
        return QStringLiteral("Accepts no characters");
    static const char* const what[17] = {
        "Accepts any character",
        "Accepts letters only",
        "Accepts digits only",
        "Accepts digits, umlauts and the signs . , - / * +",
        "Accepts letters and digits",
        "Accepts letters, digits and the signs . , - / * +",
        "Accepts any character, in upper case",
        "Accepts letters only, in upper case",
        "Accepts letters and digits, in upper case",
        "Accepts letters, digits and the signs . , - / * +, in upper case",
        "Accepts any character, in lower case",
        "Accepts letters only, in lower case",
        "Accepts letters and digits, in lower case",
        "Accepts letters, digits and the signs . , - / * +, in lower case",
        "Accepts letters and the signs . , - / * +",
        "Accepts letters and the signs . , - / * +, in upper case",
        "Accepts letters and the signs . , - / * +, in lower case",
    };
    return QString::fromUtf8(what[format]);
}

} // namespace quil
