#pragma once
// The label's state, its line fitting, and the lines it printed in the last
// paint, which tests and the wrapping benchmark read.

#include <quilObjects/quilLabel.h>

#include <QImage>
#include <QPointer>
#include <vector>

namespace quil {

class quilLabelPrivate {
public:
    // One line of the caption that fits the width, and how many characters
    // of the text it used up (at least one for text that is not empty).
    struct Fit {
        QString line;
        int consumed = 0;
        bool fits = false;   // narrower than the width (else a single word too wide)
    };
    // Where each line went in the last paint.
    struct PrintedLine {
        QString text;
        int x = 0, y = 0;
    };

    explicit quilLabelPrivate(quilLabel* owner) : q(owner) {}
    static quilLabelPrivate& of(const quilLabel* l) { return *l->d; }

    Fit FitLine(const QString& text, int width) const;
    // The text shortened with "..." until it is narrower than the width.
    QString Ellipsis(const QString& text, int width) const;
    const std::vector<PrintedLine>& PrintedLines() const { return printed; }

    QString wrapText() const;
    void drawWrapped(QString text, int height, int width, int left, int top);
    void printLine(const QString& text, int x, int y);
    // Sizes the label to its content when it sizes itself, then repaints.
    void applySize();
    void applyPointer();
    // Tab reaches a label with a link, and only such a label; Enter and
    // Space open its link as a click does.
    void hookKeys();
    void applyLinkFocus();
    // The click's Click, HyperlinkClick and opening; false when a handler deleted the label.
    bool followLink();

    quilLabel* const q;
    bool autoSize = false;
    bool textWrap = false;
    OLE_COLOR backColor = 0xFFFFFF;
    OLE_COLOR foreColor = 0xC00000;
    QPointer<QObject> imageList;
    int imageIndex = 0;
    QString caption;
    // The caption is still the container's name for the label, and follows it.
    bool captionIsName = false;
    QString hyperlink;
    OLE_COLOR selectionColor = 33023;
    int mousePointer = 0;
    QImage mouseIcon;
    bool labelDown = false;
    int linkState = quilLabel::LinkNone;
    std::vector<PrintedLine> printed;
};

} // namespace quil
