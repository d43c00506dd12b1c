#include "app/desktop_services.h"
#include "app/form_view.h"
#include "app/mireloft_main.h"

void MireloftMain::mnu_copy_Click() {
    m_desktop.clearClipboard();
    m_desktop.setClipboardText(m_view.editorText());
}
