#include "editor_wrap.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>

namespace {

// Word wrap looks ahead from every line to the next break opportunity. In a paragraph with
// none, such as base64 or minified JSON, that is the paragraph's end, so laying it out takes
// time in the square of its length: 100,000 characters took 2.4 s, a million over a minute.
// Such a paragraph is broken anywhere by word wrap too, so breaking anywhere shows it the same.
// Paragraphs up to this length (five items' texts) keep word wrap: the worst lays out in about
// 25 ms.
constexpr int LongestWordWrapped = 10000;

bool anyLong(QTextBlock block, const QTextBlock& end) {
    for (; block.isValid() && block != end; block = block.next()) {
        if (block.length() - 1 > LongestWordWrapped) // without its separator
            return true;
    }
    return false;
}

void chooseWrap(QPlainTextEdit& editor, int from, int added) {
    QTextDocument* document = editor.document();
    const bool anywhere = editor.wordWrapMode() == QTextOption::WrapAnywhere;
    const bool needed =
        anyLong(document->findBlock(from), document->findBlock(from + added).next()) ||
        (anywhere && anyLong(document->firstBlock(), QTextBlock()));
    if (needed == anywhere)
        return;
    // Switching lays the changed paragraph out at once, and the change would lay it out again.
    document->findBlock(from).clearLayout();
    editor.setWordWrapMode(needed ? QTextOption::WrapAnywhere
                                  : QTextOption::WrapAtWordBoundaryOrAnywhere);
}

} // namespace

void wrapLongParagraphsAnywhere(QPlainTextEdit& editor) {
    // Told before the document lays out the change, so that it is laid out once, in its mode.
    QObject::connect(editor.document(), &QTextDocument::contentsChange, &editor,
                     [&editor](int from, int, int added) { chooseWrap(editor, from, added); });
}
