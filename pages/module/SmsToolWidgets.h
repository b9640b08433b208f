#pragma once

#include <QRect>
#include <QString>

class QDialog;
class QWidget;
class QLabel;
class QRadioButton;

namespace ulv {

class CSkinButton;

// What the SMS page's small tool dialogs share: the grey look, their layout in
// dialog units, the skinned buttons and the way into the page's message box.
namespace SmsToolWidgets {

// Dialog units of the dialogs' font to pixels.
QRect Dlu(int x, int y, int w, int h);

// Caption, object name, grey look, font and fixed size (in dialog units).
void SetUpDialog(QDialog* dialog, const QString& objectName, const QString& caption, int widthDlu, int heightDlu);

// A static text at a place in dialog units.
QLabel* AddLabel(QWidget* dialog, const QString& text, int x, int y, int w, int h);

// A radio button at a place in dialog units.
QRadioButton* AddRadio(QWidget* dialog, const QString& text, int x, int y, int w, int h);

// A multi-line text box (plain text only) placed in dialog units.
template <class Edit>
Edit* PlaceTextBox(Edit* edit, const QString& objectName, int x, int y, int w, int h)
{
    edit->setObjectName(objectName);
    edit->setAcceptRichText(false);
    edit->setGeometry(Dlu(x, y, w, h));
    return edit;
}

// A push button that neither Enter nor the dialog's default handling presses.
CSkinButton* AddButton(QWidget* dialog, const QString& text, int x, int y, int w, int h);

// Inserts text after the last character of the SMS page's message box (nothing
// without the page).
void AppendToSmsMessageBox(const QString& text);

} // namespace SmsToolWidgets

} // namespace ulv
