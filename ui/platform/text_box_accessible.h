// How assistive tools see the window's text boxes: they read, move the caret
// and select, as the keyboard lets a player do, but they cannot change the
// text, and they read its font and colours as they are drawn.
//
// What breaks: Qt 6.4's own interface for a text box (the newest checked)
// lets assistive tools insert, delete and replace text in a read-only box,
// as its editing calls write to the document directly, and it reports text
// attributes paragraph by paragraph from the document's formats: the face
// asked for rather than the one drawn, and no colours. Qt's interface cannot
// be extended, only replaced, so this is the whole text interface.
// How to see it: take TextBoxAccessible out of the factory in
// ui/accessibility.cpp and run the desktop_accessibility test, which edits
// the statement over AT-SPI and reads its attributes.
// When it may go: once that test passes on the Qt in use without it.
#pragma once

#include <QAccessibleWidget>

#include <utility>

class QPlainTextEdit;
class QTextCursor;

namespace crossing::platform {

class TextBoxAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit TextBoxAccessible(QPlainTextEdit* box);

    // No editable-text interface: the boxes only ever hold the program's
    // own texts. The toolkit describes a box while its text is first set,
    // before it turns read-only, so this cannot hinge on that flag.
    void* interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;

    int cursorPosition() const override;
    void setCursorPosition(int position) override;

    QString text(int startOffset, int endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                             int* endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                            int* endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                         int* endOffset) const override;
    int characterCount() const override;

    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

private:
    QPlainTextEdit* box() const;
    int clamped(int offset) const;
    QTextCursor cursorOver(int startOffset, int endOffset) const;
    // The screen line holding offset, as [start, end), its line break included.
    std::pair<int, int> lineAround(int offset) const;
};

} // namespace crossing::platform
