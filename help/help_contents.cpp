#include "app/mireloft_main.h"

void MireloftMain::mnu_contents_Click() {}

void MireloftMain::showHelpTopic(int) {}
