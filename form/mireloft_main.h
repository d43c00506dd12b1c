#pragma once

#include "item_store.h"
#include "tag_list_model.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <optional>
#include <span>

class DesktopServices;
class FormView;
class StoreError;

// The main window's state and procedures, free of widgets. Every behaviour of the program is
// one of these procedures; the window (or a test) calls them and they talk back through
// FormView and DesktopServices. A procedure asks the user, calls one ItemStore function for its
// whole session with the item file, and tells the user; no file is open and no lock held while a
// box is shown. Procedure names follow the window's design (mnu_New_Click, ML_Selector_Click,
// ...) on purpose, so that they read as the design's own names rather than this code's style.
// It owns the list of items (a model the window shows), the store with its record buffer, the
// item whose text the editor shows, and the program's folder; the window owns the widgets.
class MireloftMain {
public:
    using Procedure = void (MireloftMain::*)();

    // Commands wait `lockWait` for another copy that holds the item file.
    MireloftMain(FormView& view, DesktopServices& desktop, std::chrono::milliseconds lockWait);

    // Start-up and shut-down.
    void Form_Load();
    void Form_UnLoad(qint16& cancel);
    void mnu_exit_Click();

    // The list and the item commands.
    void DisplayTags();
    void ML_Selector_Click();
    void mnu_New_Click();
    void mnu_SaveQuote_Click();
    void mnu_rename_Click();
    void mnu_delete_Click();
    void mnu_copy_Click();

    // Help and web.
    void mnu_contents_Click();
    void mnu_about_Click();
    void mnu_www_Click();
    void showHelpTopic(int topic);

    // The list that ML_Selector shows; views only read it.
    TagListModel& tags() { return m_tags; }

    // Every command that the menus and the toolbar start, the one table that routes them: the
    // name of its menu item, the key of its toolbar button (none for the three without one),
    // and its procedure.
    struct Command {
        const char* menuItem;
        const char* toolbarKey;
        Procedure procedure;
    };
    static std::span<const Command> commands();

    void ML_TB1_ButtonClick(const QString& key);
    // The procedure that a toolbar key calls, or none.
    static Procedure toolbarProcedure(const QString& key);

private:
    // A message box: its title, its text, and how it looks and answers.
    struct Message {
        QString title;
        QString text;
        int style; // a sum of MessageBoxStyle flags
    };
    // Shows the box; returns the MessageBoxResult of the button that closed it.
    int ask(const Message& message);
    // An error the user must know of.
    void showError(const QString& message);
    // Which file could not be used, and why, for a message.
    QString fileError(const StoreError& error) const;
    // False, after telling the user why, when start-up could not enter the program's folder.
    bool inProgramFolder();
    // Warns when the selection is blank, but lets the caller decide whether to go on.
    void warnIfNothingPicked(const QString& command);
    void updateCaption();
    void startHelpViewer(QStringList arguments);
    // What a file error that stops a store call leaves behind, as the user is told.
    enum class Outcome { NothingChanged, ChangeWritten, StartUp };
    // Runs a store call; a file error or a lack of memory stops it and is shown to the user
    // instead of ending the program. Returns whether the call ran to its end.
    bool reportingFileErrors(const std::function<void()>& call,
                             Outcome outcome = Outcome::NothingChanged);
    // DisplayTags, telling what a failure leaves behind.
    void displayTags(Outcome outcome);
    // The picked item was renamed or deleted behind the list's back.
    void reportGone(const QString& tag);
    // Puts the item's text, as stored, into the editor, trimmed of blanks.
    void showItem(const QString& tag, const QString& body);
    // After a pick that failed: the highlight goes back to the item whose text the editor holds.
    void highlightShownItem();

    // What ML_Selector_Click last put into the editor: Save tells an edit from none by it, and
    // notices a text that another copy stored meanwhile.
    struct ShownItem {
        QString tag;
        QString body; // as stored
        QString text; // as the editor got it
    };

    FormView& m_view;
    DesktopServices& m_desktop;
    ItemStore m_store;
    // The program's folder as start-up entered it, by its bytes: the messages name it.
    QByteArray m_folder;
    // Why start-up could not enter the program's folder; every file command then refuses, as the
    // current folder is someone else's.
    QString m_folderError;
    std::optional<ShownItem> m_shown;
    TagListModel m_tags;
};
