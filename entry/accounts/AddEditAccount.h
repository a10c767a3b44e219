#pragma once

#include <QDialog>
#include <QString>

#include <memory>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TAccountDraft;
class TAccountsChart;

// The account window in its add mode: a new account of a chart of accounts with its code,
// description and posting type, and the bank details of a bank account. OK checks the account
// (TAccountDraft) and adds it to the chart; on a fault the error box says why, the focus goes to
// the field at fault and the window stays open. Data entry offers it when a typed account is not
// in the chart.
class TfmAddEditAccount : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 3100;
    static inline const QString Caption = QStringLiteral("Add Account");

    // The window for a new account of the chart (which must outlive the window).
    explicit TfmAddEditAccount(TAccountsChart& chart, QWidget* parent = nullptr);
    ~TfmAddEditAccount() override;

    // Shows the window modally with codeText in the code field. On OK the new account is in the
    // chart, index is its index and the result is true; otherwise index is -1 and the result
    // false. The window is freed before returning. A chart without an account format can take
    // no new account: false at once.
    static bool AddAccount(TAccountsChart& chart, const QString& codeText, int& index);

    void SetCodeText(const QString& codeText);
    // The index of the account that OK added; -1 until then.
    int AddedIndex() const { return Added; }

    // OK: the checks, then the account is added and the window closes with OK. On a fault the
    // window stays open.
    void accept() override;

    QLabel* lblAccountCode = nullptr;
    QLineEdit* edtAccountCode = nullptr;
    QLabel* lblCodeRange = nullptr;
    QLabel* lblDescription = nullptr;
    QLineEdit* edtDescription = nullptr;
    QLabel* lblAccountType = nullptr;
    QComboBox* cboAccountType = nullptr;
    QGroupBox* grbBankDetails = nullptr;
    QComboBox* cboBankName = nullptr;
    QLineEdit* edtBSBNumber = nullptr;
    QLineEdit* edtAccountNumber = nullptr;
    QLineEdit* edtAccountName = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnHelp = nullptr;

private:
    void edtAccountCodeChange();
    void cboAccountTypeChange();
    // The draft takes the fields' texts.
    void ReadFields();
    // The type list offers what the typed code allows, keeping the chosen type when it can.
    void FillTypes();
    void UpdateBankDetails();
    void btnOKClick();

    TAccountsChart& Chart;
    std::unique_ptr<TAccountDraft> Draft;
    int Added = -1;
    bool Filling = false;
};

// Makes AddAccount the offer that data entry makes when a typed account is not in the chart
// (TServices::SetAddAccountOffer); the program start calls it once.
void InstallAddAccountOffer();
