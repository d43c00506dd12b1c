#include "app/mireloft_main.h"

void MireloftMain::mnu_SaveQuote_Click() {}
