#include "app/mireloft_main.h"

void MireloftMain::mnu_www_Click() {}
