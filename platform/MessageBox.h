#pragma once

#include <QString>
#include <QStringList>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace ulv {

// Flags and answers with the values of the Windows message-box API, since the
// program's logic is written in terms of them.
enum MessageBoxFlags : unsigned {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40,
};
enum MessageBoxAnswer : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

// Every message box of the program goes through this. The program installs one
// that shows a QMessageBox on the UI thread (blocking the calling worker until it
// is answered); tests install a MessageBoxRecorder.
class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    virtual int Show(const QString& text, const QString& caption, unsigned flags) = 0;
};

void SetMessageBoxService(MessageBoxService* service);
MessageBoxService* GetMessageBoxService();

// Shows a box (AfxMessageBox style: the caption is the program's name).
// Without an installed service the text goes to stderr and the answer is IDOK.
int ShowMessageBox(const QString& text, unsigned flags = MB_OK, const QString& caption = QStringLiteral("Ulvenscope"));

// Records every box and answers from a queue (IDOK, or the default given, when
// the queue is empty). Thread-safe; installs itself while it lives.
class MessageBoxRecorder : public MessageBoxService {
public:
    struct Box {
        QString text;
        QString caption;
        unsigned flags;
    };
    explicit MessageBoxRecorder(int defaultAnswer = IDOK);
    ~MessageBoxRecorder() override;

    int Show(const QString& text, const QString& caption, unsigned flags) override;

    void Answer(int answer);
    std::vector<Box> Boxes() const;
    QStringList Texts() const;
    int Count() const;
    void Clear();
    // Waits until at least n boxes were shown; false on time-out.
    bool WaitForCount(int n, int timeoutMs) const;

private:
    mutable std::mutex m_lock;
    mutable std::condition_variable m_shown;
    std::deque<int> m_answers;
    std::vector<Box> m_boxes;
    int m_default;
    MessageBoxService* m_previous;
};

} // namespace ulv
