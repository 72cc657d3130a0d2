#include "text_box_accessible.h"

#include <QAbstractTextDocumentLayout>
#include <QFontInfo>
#include <QPalette>
#include <QPlainTextEdit>
#include <QStringList>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <tuple>

namespace crossing::platform {

TextBoxAccessible::TextBoxAccessible(QPlainTextEdit* box) : QAccessibleWidget(box, QAccessible::EditableText)
{
}

QPlainTextEdit* TextBoxAccessible::box() const { return static_cast<QPlainTextEdit*>(widget()); }

void* TextBoxAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString TextBoxAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value)
        return box()->toPlainText();
    return QAccessibleWidget::text(t);
}

QAccessible::State TextBoxAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = box()->isReadOnly();
    state.editable = false;
    state.multiLine = true;
    state.selectableText = true;
    return state;
}

// Offsets from assistive tools are not trusted: out of range they would
// only make the text cursor complain.
int TextBoxAccessible::clamped(int offset) const { return std::clamp(offset, 0, characterCount()); }

QTextCursor TextBoxAccessible::cursorOver(int startOffset, int endOffset) const
{
    QTextCursor cursor(box()->document());
    cursor.setPosition(clamped(startOffset));
    cursor.setPosition(clamped(endOffset < 0 ? characterCount() : endOffset), QTextCursor::KeepAnchor);
    return cursor;
}

void TextBoxAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const
{
    const QTextCursor cursor = box()->textCursor();
    const bool selected = selectionIndex == 0 && cursor.hasSelection();
    *startOffset = selected ? cursor.selectionStart() : 0;
    *endOffset = selected ? cursor.selectionEnd() : 0;
}

int TextBoxAccessible::selectionCount() const { return box()->textCursor().hasSelection() ? 1 : 0; }

// A box has one selection, as for the keyboard: adding one replaces it.
void TextBoxAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void TextBoxAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex != 0)
        return;
    QTextCursor cursor = box()->textCursor();
    cursor.clearSelection();
    box()->setTextCursor(cursor);
}

void TextBoxAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        box()->setTextCursor(cursorOver(startOffset, endOffset));
}

int TextBoxAccessible::cursorPosition() const { return box()->textCursor().position(); }

void TextBoxAccessible::setCursorPosition(int position)
{
    QTextCursor cursor = box()->textCursor();
    cursor.setPosition(clamped(position));
    box()->setTextCursor(cursor);
}

// The document's own offsets: one character per paragraph break, read as a
// line feed, so that offsets match the text cursor's positions.
QString TextBoxAccessible::text(int startOffset, int endOffset) const
{
    const int start = clamped(startOffset);
    const int end = clamped(endOffset < 0 ? characterCount() : endOffset);
    return start < end ? box()->document()->toPlainText().mid(start, end - start) : QString();
}

int TextBoxAccessible::characterCount() const { return box()->document()->characterCount() - 1; }

std::pair<int, int> TextBoxAccessible::lineAround(int offset) const
{
    const QTextDocument* document = box()->document();
    const QTextBlock block = document->findBlock(clamped(offset));
    if (!block.isValid())
        return {0, 0};
    // A paragraph is laid out when it is first shown; asking for its size lays it out.
    document->documentLayout()->blockBoundingRect(block);
    const QTextLayout* layout = block.layout();
    const QTextLine line = layout->lineForTextPosition(clamped(offset) - block.position());
    const int paragraphEnd = std::min(block.position() + block.length(), characterCount());
    if (!line.isValid())
        return {block.position(), paragraphEnd};
    const int start = block.position() + line.textStart();
    const bool lastLine = line.lineNumber() == layout->lineCount() - 1;
    return {start, lastLine ? paragraphEnd : start + line.textLength()};
}

QString TextBoxAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                        int* startOffset, int* endOffset) const
{
    if (boundaryType != QAccessible::LineBoundary)
        return QAccessibleTextInterface::textAtOffset(offset, boundaryType, startOffset, endOffset);
    std::tie(*startOffset, *endOffset) = lineAround(offset);
    return text(*startOffset, *endOffset);
}

QString TextBoxAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                            int* startOffset, int* endOffset) const
{
    if (boundaryType != QAccessible::LineBoundary)
        return QAccessibleTextInterface::textBeforeOffset(offset, boundaryType, startOffset, endOffset);
    const int lineStart = lineAround(offset).first;
    if (lineStart == 0) {
        *startOffset = *endOffset = 0;
        return {};
    }
    return textAtOffset(lineStart - 1, boundaryType, startOffset, endOffset);
}

QString TextBoxAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                           int* startOffset, int* endOffset) const
{
    if (boundaryType != QAccessible::LineBoundary)
        return QAccessibleTextInterface::textAfterOffset(offset, boundaryType, startOffset, endOffset);
    const int lineEnd = lineAround(offset).second;
    if (lineEnd >= characterCount()) {
        *startOffset = *endOffset = characterCount();
        return {};
    }
    return textAtOffset(lineEnd, boundaryType, startOffset, endOffset);
}

// In screen coordinates, as the accessibility bus expects.
QRect TextBoxAccessible::characterRect(int offset) const
{
    const QTextCursor here = cursorOver(offset, offset);
    const QTextCursor next = cursorOver(offset + 1, offset + 1);
    QRect rect = box()->cursorRect(here);
    const QRect nextRect = box()->cursorRect(next);
    if (nextRect.top() == rect.top() && nextRect.left() > rect.left())
        rect.setRight(nextRect.left() - 1);
    return QRect(box()->viewport()->mapToGlobal(rect.topLeft()), rect.size());
}

int TextBoxAccessible::offsetAtPoint(const QPoint& point) const
{
    const QPoint inViewport = box()->viewport()->mapFromGlobal(point);
    if (!box()->viewport()->rect().contains(inViewport))
        return -1;
    return box()->cursorForPosition(inViewport).position();
}

// Qt's accessibility bus on Linux never asks for this; tools scroll the box
// by moving its caret, which brings the caret into view.
void TextBoxAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    Q_UNUSED(startIndex);
    Q_UNUSED(endIndex);
}

namespace {

// "rgb(R,G,B)", as the bridge to assistive tools expects a colour.
QString rgb(const QColor& colour)
{
    return QStringLiteral("rgb(%1,%2,%3)").arg(colour.red()).arg(colour.green()).arg(colour.blue());
}

QString slant(QFont::Style style)
{
    switch (style) {
    case QFont::StyleItalic:
        return QStringLiteral("italic");
    case QFont::StyleOblique:
        return QStringLiteral("oblique");
    case QFont::StyleNormal:
        break;
    }
    return QStringLiteral("normal");
}

// The side the lines keep to, as the box lays them out for its direction.
QString alignment(const QPlainTextEdit* box)
{
    const Qt::Alignment horizontal =
        QStyle::visualAlignment(box->layoutDirection(), box->document()->defaultTextOption().alignment())
        & Qt::AlignHorizontal_Mask;
    if (horizontal & Qt::AlignJustify)
        return QStringLiteral("justify");
    if (horizontal & Qt::AlignHCenter)
        return QStringLiteral("center");
    if (horizontal & Qt::AlignRight)
        return QStringLiteral("right");
    return QStringLiteral("left");
}

} // namespace

// The box shows its whole text in one font, one pair of colours and one
// alignment, so one run of attributes covers it all: the face actually drawn
// (where the window's face is missing, the one fontconfig put in its place),
// its size, weight and slant, the colours and the alignment. Written as the
// toolkit's own text interface writes them, "name:value;" each. The bridge
// splits on those two characters and expects a value after every name, so a
// face's name never carries them and nothing is sent without a value.
QString TextBoxAccessible::attributes(int offset, int* startOffset, int* endOffset) const
{
    if (offset < 0 || offset > characterCount()) {
        *startOffset = *endOffset = -1;
        return {};
    }
    *startOffset = 0;
    *endOffset = characterCount();

    const QFontInfo font(box()->font());
    const QPalette& colours = box()->palette();
    QStringList attributes;
    if (QString family = font.family().remove(u':').remove(u';'); !family.isEmpty())
        attributes << QStringLiteral("font-family:") + family;
    if (font.pointSize() > 0)
        attributes << QStringLiteral("font-size:%1pt").arg(font.pointSize());
    attributes << (font.bold() ? QStringLiteral("font-weight:bold") : QStringLiteral("font-weight:normal"));
    attributes << QStringLiteral("font-style:") + slant(font.style());
    attributes << QStringLiteral("text-position:baseline");
    attributes << QStringLiteral("color:") + rgb(colours.color(QPalette::Text));
    attributes << QStringLiteral("background-color:") + rgb(colours.color(QPalette::Base));
    attributes << QStringLiteral("text-align:") + alignment(box());
    return attributes.join(u';') + u';';
}

} // namespace crossing::platform
