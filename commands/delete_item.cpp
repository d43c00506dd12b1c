#include "app/mireloft_main.h"

void MireloftMain::mnu_delete_Click() {}
