// Menu handlers of the seamless matrix, behind the access code.
#include "app/tform1.h"

void TForm1::N5Click() {}
void TForm1::N6Click() {}
