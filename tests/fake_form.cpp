#include "fake_form.h"

#include <QTest>

#include <cmath>

void FakeView::select(const QString& item) {
    selected = int(items.indexOf(item));
    QVERIFY2(selected >= 0, qPrintable(item));
}

void FakeView::setSelectorItems(const QStringList& list) {
    items = list;
    selected = -1;
}

QString FakeView::selectorText() const {
    return selected >= 0 ? items.at(selected) : QString();
}

int FakeView::messageBox(const QString& message, int style, const QString& title) {
    boxes.append({message, style, title});
    if (boxAnswers.isEmpty()) {
        QTest::qFail(qPrintable("unexpected message box: " + message), __FILE__, __LINE__);
        return 0;
    }
    return boxAnswers.dequeue();
}

QString FakeView::inputBox(const QString& prompt, const QString& title,
                           const QString& defaultText) {
    inputs.append({prompt, title, defaultText});
    if (inputAnswers.isEmpty()) {
        QTest::qFail("unexpected input dialog", __FILE__, __LINE__);
        return QString();
    }
    return inputAnswers.dequeue();
}

// Like a list box that shows whole rows only: the height is rounded down to whole rows.
void FakeView::setSelectorGeometry(float left, float top, float w, float h) {
    const float rows = std::floor(h / rowHeight);
    selectorGeometry[0] = left;
    selectorGeometry[1] = top;
    selectorGeometry[2] = w;
    selectorGeometry[3] = rows * rowHeight;
}

void FakeView::setEditorGeometry(float left, float top, float w, float h) {
    editorGeometry[0] = left;
    editorGeometry[1] = top;
    editorGeometry[2] = w;
    editorGeometry[3] = h;
}

void FakeDesktop::setClipboardText(const QString& text) {
    clipboardLog.append(QStringLiteral("set:") + text);
}

bool FakeDesktop::startProgram(const QString& program, const QStringList& arguments) {
    started.append({program, arguments});
    return startSucceeds;
}

std::optional<QString> FakeDesktop::findExecutable(const QString& fileName) {
    lookedUp.append(fileName);
    return executable;
}

bool FakeDesktop::shellExecute(const QString& program, const QString& parameter) {
    executed.append({program, {parameter}});
    return executeSucceeds;
}
