#include "app/mireloft_main.h"

void MireloftMain::mnu_New_Click() {}
