#pragma once
// Reads and analyses documents off the user-interface thread. One worker thread takes
// the jobs in the order they were given, so documents open in request order and no two
// analyses run at once. Each job works on its own copy of the application state (rule
// base included): the module check writes into the rule base, and the user-interface
// thread keeps reading the shared one.

#include "app/application.hpp"
#include "document/config_doc.hpp"
#include "import/report_reader.hpp"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QThread>

#include <memory>
#include <vector>

namespace qx::gui {

/// One file to open and what became of it.
struct OpenJob {
    quint64 ticket = 0;
    QString path;
    std::unique_ptr<CQXConfigDoc2> doc;
    import::OpenResult result;
    /// Set when reading raised an error of its own (shown as "Exception occurred").
    bool exception = false;
    int nextProductNumber = 0;
};

class DocumentLoader : public QObject {
    Q_OBJECT
public:
    explicit DocumentLoader(QObject* parent = nullptr);
    ~DocumentLoader() override;

    /// Queues the opening of a file; returns the job's ticket.
    quint64 open(const QString& path, const Application& app);
    /// Queues the folder scan of "Open Documents...".
    void scan(const QString& folder);
    /// Queues "Run Checker!" over documents the caller keeps untouched until it finishes.
    void runChecker(std::vector<CQXConfigDoc2*> docs, const Application& app);
    /// True while jobs are queued or running.
    [[nodiscard]] bool busy() const { return m_pending > 0; }

signals:
    /// A job finished (on the user-interface thread).
    void opened(std::shared_ptr<qx::gui::OpenJob> job);
    /// The files a scan found, in scan order.
    void scanned(QStringList files);
    /// "Run Checker!" progress: steps done of the current document.
    void checkerStep(int done, int steps);
    /// "Run Checker!" finished.
    void checkerFinished(int nextProductNumber, QStringList messages);

private:
    template <class F>
    void post(F&& work);

    QThread m_thread;
    QObject* m_worker = nullptr;
    quint64 m_nextTicket = 1;
    int m_pending = 0;
};

}  // namespace qx::gui
