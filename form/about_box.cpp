#include "message_box_style.h"
#include "mireloft_main.h"

void MireloftMain::mnu_about_Click() {
    ask({QStringLiteral("Cardisto"),
         QStringLiteral("Cardisto, copyright (c) 2026 the Cardisto developers.\r\n"
                        "All rights reserved. Version 1.0, release #2"),
         MessageBoxStyle::Warning});
}
