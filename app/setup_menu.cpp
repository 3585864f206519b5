// Menu handlers that open the setup dialogs.
#include "app/tform1.h"

void TForm1::dddd1Click() {}
void TForm1::ID1Click() {}
void TForm1::N1Click() {}
void TForm1::N2Click() {}
void TForm1::N3Click() {}
void TForm1::RzBmpButton9Click() {}
