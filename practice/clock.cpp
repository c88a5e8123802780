#include "form1.h"

void Form1::EndPractice()
{
    ui.Timer1->setEnabled(false);
    ui.Timer2->setEnabled(false);

    // At the very first start with an empty text no row has been current yet.
    if (CurRow >= 1 && CurRow <= 4)
        ui.lblSign[CurRow]->setVisible(false);

    for (int row = 1; row <= 3; ++row)
        ui.txtinput[row]->setEnabled(false);
    setEnabled(false);
}
