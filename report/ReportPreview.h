#pragma once

#include <QPrintPreviewDialog>
#include <QPrinter>

class QLabel;
class QToolBar;
class Report;

// The "Printing progress" window: which page is being sent. It lives for one print and
// closes by itself when the print ends.
class PrintProgress : public QWidget
{
    Q_OBJECT
public:
    explicit PrintProgress(QWidget *owner);
    void showPage(int page, int count);

private:
    QLabel *m_label;
};

// Where "E-mail..." sends the order: the vendor's address (none when empty) and the subject.
struct MailOrder
{
    QString recipient;
    QString subject;
};

// The preview of a report: pages, zoom, page setup and printing; every print runs the
// report again. Toolbar buttons save the order straight into a PDF file, or hand that PDF to
// the desktop's mail program. Every button is a Tab stop that Return presses, and the usual
// actions have the desktop's usual keys.
class ReportPreview : public QPrintPreviewDialog
{
    Q_OBJECT
public:
    // pdfName is the file name proposed for "Save as PDF" and given to the mailed PDF.
    ReportPreview(Report &report, const QString &pdfName, QWidget *parent = nullptr, MailOrder mail = {});

    void SaveAsPdf();
    // Writes the PDF that Save as PDF writes into the program's private mail folder and hands
    // it to the mail program; without one, says where the PDF is.
    void EmailOrder();
    // That folder: the user's cache folder's "pelmora-po/mail".
    static QString mailFolder();
    // Paints the pages for the preview, or prints them with the progress window.
    void paint(QPrinter *printer);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void keyboardToolbar(QToolBar *toolbar);
    void giveKey(QToolBar *toolbar, QAction *action, const QKeySequence &key);

    Report &m_report;
    QString m_pdfName;
    MailOrder m_mail;
};
