#pragma once

#include "app/desktop_services.h"
#include "app/form_view.h"

#include <QList>
#include <QQueue>
#include <QStringList>

// A window without widgets: records what the procedures show and answers their dialogs from a
// script. A dialog with no scripted answer fails the test.
class FakeView : public FormView {
public:
    struct Box {
        QString message;
        int style;
        QString title;
    };
    struct Input {
        QString prompt;
        QString title;
        QString defaultText;
    };

    QString caption = QStringLiteral("Cardisto");
    QStringList items;
    int selected = -1;
    QString editor;
    QList<Box> boxes;
    QQueue<int> boxAnswers;
    QList<Input> inputs;
    QQueue<QString> inputAnswers;
    float width = 4530, height = 4620, toolbar = 630, rowHeight = 195;
    float selectorGeometry[4] = {}, editorGeometry[4] = {};
    bool quitCalled = false;

    void select(const QString& item);

    void setCaption(const QString& text) override { caption = text; }
    void setSelectorItems(const QStringList& list) override;
    QString selectorText() const override;
    QString editorText() const override { return editor; }
    void setEditorText(const QString& text) override { editor = text; }
    int messageBox(const QString& message, int style, const QString& title) override;
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    float scaleWidth() const override { return width; }
    float scaleHeight() const override { return height; }
    float toolbarHeight() const override { return toolbar; }
    void setSelectorGeometry(float left, float top, float w, float h) override;
    float selectorHeight() const override { return selectorGeometry[3]; }
    void setEditorGeometry(float left, float top, float w, float h) override;
    void quit() override { quitCalled = true; }
};

class FakeDesktop : public DesktopServices {
public:
    struct Start {
        QString program;
        QStringList arguments;
    };

    QString folder;
    QStringList clipboardLog; // "clear" and "set:<text>" in call order
    QList<Start> started;
    bool startSucceeds = true;
    std::optional<QString> executable;
    QStringList lookedUp; // files passed to findExecutable
    QList<Start> executed;
    bool executeSucceeds = true;

    QString programFolder() const override { return folder; }
    void clearClipboard() override { clipboardLog.append(QStringLiteral("clear")); }
    void setClipboardText(const QString& text) override;
    bool startProgram(const QString& program, const QStringList& arguments) override;
    std::optional<QString> findExecutable(const QString& fileName) override;
    bool shellExecute(const QString& program, const QString& parameter) override;
};
