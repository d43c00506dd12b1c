#include "editor_wrap.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>

namespace {

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
