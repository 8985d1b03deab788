#pragma once

// The sheet window: the purchase order itself, drawn as it will print. Its labels, group
// boxes and line-item grid are the order (there is no document behind them); it is built
// from the field table, keeps the open sheet file and the configuration file, and moves
// whole sheets between its fields and files.

#include "SheetFields.h"
#include "TLineItems.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class LineItemGrid;
class QScrollArea;
class SheetGroupBox;
class SheetImage;
class SheetJournal;
class SheetKeyboard;
class SheetLabel;
class TCaptionSaver;
class TFontSaver;
class TIniFile;
class TProgressControl;

// The logo picture dialog's state: its file name is the logo shown, empty when removed.
class TOpenPictureDialog : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    QString FileName;
    QString InitialDir;
};

// The program file's version, for the About window.
class TVersionResource : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    QString FileVersion;
};

class TPurchaseOrderForm : public QWidget
{
    Q_OBJECT
public:
    explicit TPurchaseOrderForm(QWidget *parent = nullptr);
    ~TPurchaseOrderForm() override;

    // Every component in component order, and one by name.
    const std::vector<QObject *> &Components() const { return m_components; }
    QObject *Component(QStringView name) const;
    SheetLabel *Label(QStringView name) const;
    SheetGroupBox *GroupBox(QStringView name) const;

    static void ComponentNameOf(const QObject *component, QString &name);
    static void ComponentTextOf(const QObject *component, QString &text);
    static const SheetFont *ComponentFontOf(const QObject *component);

    // Sheet files.
    QString SheetFileName() const;
    void OpenSheetFile(const QString &path);
    void ReadSheet(TFontSaver &fontStore, TCaptionSaver &captionStore);
    void LoadSheet();
    void WriteSheet(TFontSaver &fontStore, TCaptionSaver &captionStore);
    void SaveSheet();
    // The files last chosen in the command panel's save and open dialogs, which alone may
    // overwrite a start-up "blank.ini" with a full save.
    std::function<QStringList()> LastChosenSheetFiles;
    // True when a full save would leave the open file as it is: the start-up "blank.ini"
    // that the user did not pick in a dialog.
    bool SaveKeepsBlankSheet() const;

    // The recovery journal: what the sheet file does not hold yet (cells, a new logo).
    // True when the window holds such texts.
    bool HasUnsavedTexts() const;
    // The user chose not to save: the journal of the open file goes.
    void DiscardRecovery();
    // The order was saved under another name: the journal of that earlier file goes.
    void ForgetRecoveryOf(const QString &sheetFileName);
    // Writes what the journal has pending now, durably.
    void SyncRecovery();
    // The recovery question's answers, in their order.
    static const QStringList &RecoveryAnswers();
    static constexpr int RecoverAnswer = 0;
    static constexpr int KeepAnswer = 1;
    static constexpr int DiscardAnswer = 2;
    // Loads another order as Load PO does once a file is chosen (installed by the panel).
    std::function<void(const QString &)> OpenOrderCommand;
    // Before the window shows: the order given to the program is loaded at start instead of
    // the start-up sheet, as Load PO loads it. One that cannot be read leaves the start-up
    // sheet in place, and the user is told why once it has loaded.
    void OpenAtStart(const QString &path);
    SheetJournal *Journal() const { return m_journal; }

    // Ending the program. A request to close the sheet window (Alt+F4, the window manager's
    // close) runs ExitCommand, which asks; CloseProgram() closes it for good. At log-out,
    // where nothing may be asked, SessionEnding() keeps the journal and ends the program.
    std::function<void()> ExitCommand;
    void CloseProgram();
    void SessionEnding();

    // Figures.
    long double LineItemsTotal() const;
    long double TaxTotal() const;
    long double BalanceDue();
    QString FormatAmount(const SheetLabel *label) const;

    int DialogLeft() const { return FDialogLeft; }
    void SetDialogLeft(int left) { FDialogLeft = left; }
    int DialogTop() const { return FDialogTop; }
    void SetDialogTop(int top) { FDialogTop = top; }
    int CurrentRow() const { return FCurrentRow; }
    const QString &CurrencySymbol() const { return FCurrencySymbol; }
    const QString &CurrencyCode() const { return FCurrencyCode; }
    TIniFile *ConfigFile() const { return FConfigFile.get(); }

    // Records where the next editor opens: 10 pixels below the pointer, kept clear of the
    // screen's right and bottom edges.
    void LabelMouseDown(SheetLabel *label, QMouseEvent *event);
    // A right press on the sheet's background, a frame or the table calls up the command
    // panel there; x and y are the pointer's place inside sender.
    void ControlMouseDown(QWidget *sender, Qt::MouseButton button, int x, int y);
    SheetKeyboard *Keyboard() const { return m_keyboard; }
    // Adds, replaces or removes the logo.
    void Image1Click(QObject *sender);
    // Picks the PO date from a calendar.
    void labelPODateClick(SheetLabel *sender);

    // Editing in place: the label settings dialog for a label or group box, the font
    // dialog alone, the refusal of calculated values, the tax amount.
    void LabelSetValue(QObject *sender);
    void LabelSetFont(SheetLabel *sender);
    void CalculatedValue(SheetLabel *sender);
    void Label17Click(SheetLabel *sender);
    // Every label of the source's font group, and every group box, takes the source's font,
    // each recorded under its own name.
    void ApplyGroupFont(SheetLabel *source);
    void ApplyGroupBoxFont(SheetGroupBox *source);

    // The line-item table.
    void StringGrid1SelectCell(int column, int row);
    void StringGrid1SetEditText(int column, int row);
    void StringGridDoubleClick(const std::optional<TLineItems::OpeningClick> &click = std::nullopt);
    // Subtotal, tax and balance due from the table, in that order.
    void RefreshTableTotals();
    // The tax command, run by a click on the tax amount.
    std::function<void()> TaxCommand;
    // Calls up the command panel near a point of the screen, its title naming the sheet's
    // currency; whoever creates the panel installs it.
    std::function<void(QPoint at, const QString &currencyCode, const QString &currencySymbol)>
        ShowCommandPanel;

    QWidget *Panel1 = nullptr;
    QScrollArea *ScrollBox1 = nullptr;
    QWidget *Panel2 = nullptr;
    QWidget *Panel3 = nullptr;
    SheetImage *Image1 = nullptr;
    LineItemGrid *StringGrid1 = nullptr;
    TOpenPictureDialog *OpenPictureDialog1 = nullptr;
    TCaptionSaver *CaptionSaver1 = nullptr;
    TFontSaver *FontSaver1 = nullptr;
    TProgressControl *ProgressControl1 = nullptr;
    TVersionResource *VersionResource1 = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Tab and Shift+Tab run through the sheet's texts and the table.
    bool focusNextPrevChild(bool next) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void FormCreate();
    void FormShow();
    void FormClose();
    void FormDestroy();

    void buildComponents();
    void connectHandlers();
    void LabelClick(SheetLabel *label);
    // What a click on a text, a frame or the logo does, run after the event that asked.
    void openEditorLater(QWidget *element);
    // The next editor opens 10 pixels below that screen point, kept clear of the screen's
    // right and bottom edges.
    void placeDialogsBelow(QPoint pointer);
    // The command panel at a screen point, its title naming the stored currency.
    void callUpPanel(QPoint at);
    template <class Field> void applyFontToGroup(Field *source);
    void showLogo(bool shown);
    void fitPanels();
    QObject *createComponent(const FieldSpec &field);
    QWidget *container(const char *name) const;
    QPoint sheetPos(const QWidget *widget) const;
    void readLogo(TCaptionSaver &captionStore);
    void setLogo(const QString &path);
    QStringList journalTexts() const;
    void afterLoad();
    void tellOtherHolders();
    void offerRecovery();
    void offerLeftBehind();
    static QString shownTime(const QDateTime &utc);
    QChar decimalSeparator() const;

    std::vector<QObject *> m_components;
    QWidget *m_scrollContent = nullptr;
    bool m_loaded = false;
    SheetJournal *m_journal = nullptr;
    SheetKeyboard *m_keyboard = nullptr;
    bool m_closeApproved = false;
    bool m_exitAsked = false;
    bool m_reading = false; // while a sheet is read into the fields
    bool m_ending = false;          // a log-out or a signal: nothing more is read or asked
    bool m_offerLeftBehind = false; // after the start-up load: other orders' unsaved work
    QString m_startOrder;   // the order given to the program, loaded at start
    QString m_startProblem; // why the order given could not be

    std::unique_ptr<TIniFile> FSheetFile;
    std::unique_ptr<TIniFile> FConfigFile;
    int FCurrentRow = 0;
    int FDialogLeft = 0;
    int FDialogTop = 0;
    QString FCurrencyCode;
    QString FCurrencySymbol;
};
