#include "message_box_style.h"
#include "mireloft_main.h"

void MireloftMain::mnu_about_Click() {
    Title = QStringLiteral("Cardisto");
    Msg = QStringLiteral("Cardisto, copyright (c) 2026 the Cardisto developers.\r\n"
                         "All rights reserved. Version 1.0, release #2");
    Style = MessageBoxStyle::Warning;
    showMessage();
}
