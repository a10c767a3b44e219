#include "shell/startup/SplashScreen.h"

#include "controls/small/AsUrlLabel.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>

namespace {

// The program's picture: a ledger page under a deep blue band with the program's name.
QPixmap SplashPicture(int width, int height) {
    QPixmap picture(width, height);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient band(0, 0, 0, height * 0.55);
    band.setColorAt(0.0, QColor(16, 42, 92));
    band.setColorAt(1.0, QColor(40, 86, 160));
    painter.fillRect(QRectF(0, 0, width, height * 0.55), band);

    // Ruled ledger lines with a red margin below the band.
    painter.setPen(QPen(QColor(170, 200, 230), 1));
    for (int y = static_cast<int>(height * 0.55) + 18; y < height; y += 18)
        painter.drawLine(0, y, width, y);
    painter.setPen(QPen(QColor(200, 60, 60), 1.5));
    painter.drawLine(48, static_cast<int>(height * 0.55), 48, height);
    painter.drawLine(width - 120, static_cast<int>(height * 0.55), width - 120, height);

    painter.setPen(Qt::white);
    QFont title(QStringLiteral("Sans Serif"), 34, QFont::Bold);
    painter.setFont(title);
    painter.drawText(QRectF(0, 40, width, 60), Qt::AlignHCenter | Qt::AlignVCenter,
                     QStringLiteral("QUILVANE"));
    QFont subtitle(QStringLiteral("Sans Serif"), 13);
    painter.setFont(subtitle);
    painter.drawText(QRectF(0, 100, width, 30), Qt::AlignHCenter | Qt::AlignVCenter,
                     QStringLiteral("Cash Book and General Ledger 2006"));

    painter.setPen(QPen(QColor(16, 42, 92), 1));
    painter.drawRect(0, 0, width - 1, height - 1);
    return picture;
}

} // namespace

TfrmSplashScreen::TfrmSplashScreen(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplashScreen"));
    setFixedSize(ClientWidth, ClientHeight);

    imgSplash = new QLabel(this);
    imgSplash->setObjectName(QStringLiteral("imgSplash"));
    imgSplash->setGeometry(0, 0, ClientWidth, ClientHeight);
    imgSplash->setPixmap(SplashPicture(ClientWidth, ClientHeight));

    lblLoading = new QLabel(QStringLiteral("Loading..."), this);
    lblLoading->setObjectName(QStringLiteral("lblLoading"));
    lblLoading->setGeometry(64, 226, 300, 22);

    lblProgramVersion = new QLabel(QStringLiteral("Program Version:"), this);
    lblProgramVersion->setObjectName(QStringLiteral("lblProgramVersion"));
    lblProgramVersion->setGeometry(64, 262, 120, 22);

    lblProgramVersionTxt = new QLabel(QCoreApplication::applicationVersion(), this);
    lblProgramVersionTxt->setObjectName(QStringLiteral("lblProgramVersionTxt"));
    lblProgramVersionTxt->setGeometry(186, 262, 220, 22);

    lblAddress = new TAsUrlLabel(AddressText, this);
    lblAddress->setObjectName(QStringLiteral("lblAddress"));
    lblAddress->Url = AddressUrl;
    lblAddress->setGeometry(64, 298, 300, 22);
    lblAddress->hide();

    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setGeometry(ClientWidth - 110, ClientHeight - 44, 90, 28);
    btnOK->setDefault(true);
    btnOK->hide();
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);

    CentreOnScreen();
}

QString TfrmSplashScreen::AboutText(const QString& programVersion, const QString& dataVersion) {
    return QStringLiteral("%1 (DAT Version: %2)").arg(programVersion, dataVersion);
}

void TfrmSplashScreen::ShowLoading() {
    btnOK->show();
    lblAddress->show();
}

void TfrmSplashScreen::PrepareAbout(const QString& programVersion, const QString& dataVersion) {
    lblProgramVersionTxt->setText(AboutText(programVersion, dataVersion));
    // As the About form nothing is loading.
    lblLoading->hide();
    ShowLoading();
}

void TfrmSplashScreen::ShowAbout(const QString& programVersion, const QString& dataVersion) {
    TfrmSplashScreen about;
    about.PrepareAbout(programVersion, dataVersion);
    about.exec();
}

void TfrmSplashScreen::CentreOnScreen() {
    const QScreen* target = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!target)
        return;
    const QRect area = target->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
}
