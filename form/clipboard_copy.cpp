#include "desktop_services.h"
#include "form_view.h"
#include "mireloft_main.h"

void MireloftMain::mnu_copy_Click() {
    m_desktop.clearClipboard();
    m_desktop.setClipboardText(m_view.editorText());
}
