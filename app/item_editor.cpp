#include "item_editor.h"

#include "editor_wrap.h"

#include <QMimeData>
#include <QTextBlock>

namespace {

// A carriage return goes back, a line feed goes down. Neither can be stored as itself, and both
// are in the usual desktop fonts.
constexpr QChar LoneCarriageReturn(0x2190);
constexpr QChar LoneLineFeed(0x2193);

// Marks the arrows that stand for a byte of the file. Qt drops an object type from the format
// of every character typed, so no typed character carries the mark, while undo and redo keep it.
constexpr int FromTheFile = QTextFormat::UserObject + 1;

} // namespace

ItemEditor::ItemEditor(QWidget* parent)
    : QPlainTextEdit(parent) {
    wrapLongParagraphsAnywhere(*this);
}

QString ItemEditor::text() const {
    QString text;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (block != document()->begin())
            text += QLatin1String("\r\n");
        for (auto piece = block.begin(); !piece.atEnd(); ++piece) {
            // The raw text: toPlainText() would turn no-break spaces into blanks.
            QString part = piece.fragment().text();
            part.replace(QChar::LineSeparator, QLatin1String("\r\n"));
            if (piece.fragment().charFormat().objectType() == FromTheFile) {
                part.replace(LoneCarriageReturn, QLatin1Char('\r'));
                part.replace(LoneLineFeed, QLatin1Char('\n'));
            }
            text += part;
        }
    }
    return text;
}

void ItemEditor::setText(const QString& text) {
    QString shown;
    shown.reserve(text.size());
    QList<qsizetype> lone;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' && text.mid(i + 1, 1) == u"\n") {
            shown += QChar::LineFeed;
            ++i;
        } else if (c == u'\r' || c == u'\n') {
            lone.append(shown.size());
            shown += c == u'\r' ? LoneCarriageReturn : LoneLineFeed;
        } else {
            shown += c;
        }
    }
    setPlainText(shown);
    if (lone.isEmpty())
        return;
    // Not a step that undo could take back.
    document()->setUndoRedoEnabled(false);
    QTextCharFormat mark;
    mark.setObjectType(FromTheFile);
    QTextCursor cursor(document());
    for (const qsizetype at : lone) {
        cursor.setPosition(int(at));
        cursor.setPosition(int(at) + 1, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(mark);
    }
    document()->setUndoRedoEnabled(true);
}

void ItemEditor::insertFromMimeData(const QMimeData* source) {
    if (!source->hasText())
        return;
    textCursor().insertText(source->text());
    ensureCursorVisible();
}
