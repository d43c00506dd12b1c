// The fakes of the window and the desktop, and a program folder to run the procedures in.
#pragma once

#include "item_files.h"

#include "desktop_services.h"
#include "form_view.h"
#include "message_box_style.h"
#include "mireloft_main.h"
#include "tag_list_model.h"

#include <QDir>
#include <QQueue>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h> // for the tests that make folders, pipes and links

// A window without widgets: records what the procedures show and answers their dialogs from a
// script. A box with an OK button only needs no script; any other dialog without a scripted
// answer fails the test. Both kinds of dialog go to one log, so that their order shows.
class FakeView : public FormView {
public:
    QString caption = QStringLiteral("Cardisto");
    int listings = 0; // how many times the list was filled
    int selected = -1;
    QString editor;
    QStringList boxes;       // "title|message|style", or "title|prompt|default" of an input
    QQueue<QString> answers; // to input boxes, and "Yes" or "No" to questions

    void setCaption(const QString& text) override { caption = text; }
    // Shows the form's list, as the window does.
    void show(const TagListModel& list) {
        m_list = &list;
        QObject::connect(&list, &QAbstractItemModel::modelReset, [this] {
            ++listings;
            selected = -1;
        });
    }
    QStringList items() const {
        QStringList all;
        for (qsizetype row = 0; m_list && row < m_list->rowCount(); ++row)
            all << m_list->text(row);
        return all;
    }
    QString selectorText() const override { return items().value(selected); }
    void selectEntry(qsizetype entry) override { selected = int(entry); }
    QString editorText() const override { return editor; }
    void setEditorText(const QString& text) override { editor = text; }
    int messageBox(const QString& message, int style, const QString& title) override {
        boxes.append(title + '|' + message + '|' + QString::number(style));
        if (!MessageBoxStyle::hasYesNo(style))
            return MessageBoxResult::Ok;
        return next(message) == u"No" ? MessageBoxResult::No : MessageBoxResult::Yes;
    }
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override {
        boxes.append(title + '|' + prompt + '|' + defaultText);
        return next(prompt);
    }
    QRect frame;
    QRect windowRect() const override { return frame; }
    void quit() override {}

private:
    const TagListModel* m_list = nullptr;
    QString next(const QString& dialog) {
        if (answers.isEmpty())
            QTest::qFail(qPrintable("unexpected dialog: " + dialog), __FILE__, __LINE__);
        return answers.isEmpty() ? QString() : answers.dequeue();
    }
};

class FakeDesktop : public DesktopServices {
public:
    struct Start {
        QString program;
        QStringList arguments;
    };

    QByteArray folder;
    QList<Start> started;
    bool startSucceeds = true;

    QByteArray programFolder(QString&) const override { return folder; }
    void clearClipboard() override {}
    void setClipboardText(const QString&) override {}
    bool startProgram(const QString& program, const QStringList& arguments) override {
        started.append({program, arguments});
        return startSucceeds;
    }
    std::optional<QString> programForFile(const QString&) override { return std::nullopt; }
    bool startProgramWith(const QString&, const QString&) override { return true; }
};

// A fresh program folder, made the current directory, with the procedures on a fake window.
struct FormFixture {
    QTemporaryDir dir;
    QString previousDir = QDir::currentPath();
    FakeView view;
    FakeDesktop desktop;
    MireloftMain form{view, desktop, std::chrono::milliseconds(200)};

    FormFixture() {
        desktop.folder = QFile::encodeName(dir.path());
        view.show(form.tags());
        QDir::setCurrent(dir.path());
    }
    ~FormFixture() { QDir::setCurrent(previousDir); }

    QString path() const { return dir.filePath(QStringLiteral("zmr.lst")); }
    QByteArray items() const { return ItemFiles::read(path()); }
};
