#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class TAsUrlLabel;

// The window with the program's picture and version: shown while the program starts, and with
// its OK button as the About box.
class TfrmSplashScreen : public QDialog {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 540;
    static constexpr int ClientHeight = 366;

    // The program's web address, as the About box shows it and as a click on it opens it.
    static inline const QString AddressText = QStringLiteral("www.quilvane.example");
    static inline const QString AddressUrl = QStringLiteral("https://www.quilvane.example");

    explicit TfrmSplashScreen(QWidget* parent = nullptr);

    // The About box's version line: the program's version and that of the reference data.
    static QString AboutText(const QString& programVersion, const QString& dataVersion);

    // Shows the OK button and the link to the program's web address (the About box).
    void ShowLoading();

    // Makes the About box: the version line and OK shown. The caller shows it.
    void PrepareAbout(const QString& programVersion, const QString& dataVersion);

    // Shows the About box modally.
    static void ShowAbout(const QString& programVersion, const QString& dataVersion);

    // Places the window in the middle of its screen.
    void CentreOnScreen();

    QLabel* imgSplash = nullptr;
    QLabel* lblLoading = nullptr;
    QLabel* lblProgramVersion = nullptr;
    QLabel* lblProgramVersionTxt = nullptr;
    TAsUrlLabel* lblAddress = nullptr;
    QPushButton* btnOK = nullptr;
};
