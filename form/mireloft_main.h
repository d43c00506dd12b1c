#pragma once

#include "store/note_record.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class DesktopServices;
class FormView;

// The main window's state and procedures, free of widgets. Every behaviour of the program is
// one of these procedures; the window (or a test) calls them and they talk back through
// FormView and DesktopServices. The procedures are grouped by subject across form/, commands/
// and help/. Member names follow the window's design (mnu_New_Click, ML_Selector_Click, Msg,
// ...) on purpose, so that they read as the design's own names rather than this code's style.
class MireloftMain {
public:
    using Procedure = void (MireloftMain::*)();

    MireloftMain(FormView& view, DesktopServices& desktop);

    // The form-level message variables: each command sets them right before its message box.
    QString Msg;
    std::optional<qint16> Style;
    QString Title;
    std::optional<qint32> Response;

    // The help file that F1 opens.
    QString HelpFile;

    // Start-up and shut-down.
    void Form_Load();
    void Form_UnLoad(qint16& cancel);
    void mnu_exit_Click();
    void Form_Resize();

    // The tag list and the note commands.
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

    void ML_TB1_ButtonClick(const QString& key);
    // The procedure that a toolbar key calls, or none.
    static Procedure toolbarProcedure(const QString& key);

private:
    // Response = message box (Msg, Style, Title).
    void showMessage();
    // An error the user must know of; shown directly, so Response keeps the last answer.
    void showError(const QString& message);
    // Warns when the selection is blank, but lets the caller decide whether to go on.
    void warnIfNothingPicked(const QString& command);
    void updateCaption();
    void startHelpViewer(QStringList arguments);
    // Runs a command; a file error stops it and is shown to the user instead of ending the
    // program.
    void reportingFileErrors(const std::function<void()>& command);

    FormView& m_view;
    DesktopServices& m_desktop;
    // The one record buffer all commands share; zero-filled at start.
    NoteRecord m_record;
};
