#include "app/mireloft_main.h"

void MireloftMain::mnu_rename_Click() {}
