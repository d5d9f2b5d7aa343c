#pragma once

#include "environment.h"
#include "install.h"

#include <QWidget>

#include <array>

class QLabel;
class QLineEdit;
class QTimer;

namespace setup {

class Form2;
class Host;
class PictureButton;

// The installer window: three pages (opening, destination, installation)
// shown as pictures, with Next, Back and Exit buttons.
class Form1 : public QWidget {
public:
    Form1(Host &host, Environment environment, QWidget *parent = nullptr);

    // Reads cd.inf and starts a remembered program. False when setup has to
    // end (cd.inf missing or incomplete); the operator was told why.
    bool Form_Load();
    void showCentered();

    QString itit() const;
    void getto(int arg);
    // False when the installation failed; the operator was told why.
    bool copfol();
    void chek();
    void RunIt(const QString &ExFile);
    void upd();

    void btn_Click(int index);
    void bro_Click();
    void Timer1_Timer();

    // The plan of the installation as it stands now.
    InstallPlan plan() const;
    QString markerPath() const;

    qint16 page = 0;
    QString cdName;
    QString defPath;
    QString folderName;
    QString runFile;
    QString infPath;

    std::array<QLabel *, 3> Pic;
    QLineEdit *Text1;
    PictureButton *bro;
    std::array<PictureButton *, 3> btn;
    QTimer *Timer1;
    Form2 *form2;

private:
    void tell(const QString &text);

    Host &m_host;
    Environment m_environment;
};

} // namespace setup
