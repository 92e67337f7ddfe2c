#include "app/document_loader.hpp"

#include "analysis/analysis.hpp"
#include "import/folder_scan.hpp"

#include <QMetaObject>

#include <new>

namespace qx::gui {

DocumentLoader::DocumentLoader(QObject* parent) : QObject(parent) {
    qRegisterMetaType<std::shared_ptr<qx::gui::OpenJob>>();
    m_worker = new QObject;
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.setObjectName(QStringLiteral("document loader"));
    m_thread.start();
}

DocumentLoader::~DocumentLoader() {
    m_thread.quit();
    m_thread.wait();
}

template <class F>
void DocumentLoader::post(F&& work) {
    ++m_pending;
    QMetaObject::invokeMethod(m_worker, std::forward<F>(work), Qt::QueuedConnection);
}

quint64 DocumentLoader::open(const QString& path, const Application& app) {
    auto job = std::make_shared<OpenJob>();
    job->ticket = m_nextTicket++;
    job->path = path;
    job->doc = std::make_unique<CQXConfigDoc2>();
    auto copy = std::make_shared<Application>(app.cloneForWorker());
    post([this, job, copy] {
        try {
            job->result = import::openDocument(*job->doc, *copy, job->path.toStdString());
        } catch (const std::exception&) {
            job->exception = true;  // the importer catches out-of-memory itself; anything else lands here
        }
        job->nextProductNumber = copy->nextProductNumber;
        QMetaObject::invokeMethod(
            this,
            [this, job] {
                --m_pending;
                emit opened(job);
            },
            Qt::QueuedConnection);
    });
    return job->ticket;
}

void DocumentLoader::scan(const QString& folder) {
    post([this, folder] {
        QStringList files;
        for (const std::string& f : import::scanFolder(folder.toStdString()))
            files << QString::fromStdString(f);
        QMetaObject::invokeMethod(
            this,
            [this, files] {
                --m_pending;
                emit scanned(files);
            },
            Qt::QueuedConnection);
    });
}

void DocumentLoader::runChecker(std::vector<CQXConfigDoc2*> docs, const Application& app) {
    auto copy = std::make_shared<Application>(app.cloneForWorker());
    post([this, docs, copy] {
        QStringList messages;
        try {
            for (const std::string& m : analysis::runChecker(docs, *copy, [this](int done, int steps) {
                     QMetaObject::invokeMethod(
                         this, [this, done, steps] { emit checkerStep(done, steps); }, Qt::QueuedConnection);
                 }))
                messages << QString::fromStdString(m);
        } catch (const std::exception&) {
            // A failed pass leaves the records it wrote; the lists show what is there.
        }
        const int next = copy->nextProductNumber;
        QMetaObject::invokeMethod(
            this,
            [this, next, messages] {
                --m_pending;
                emit checkerFinished(next, messages);
            },
            Qt::QueuedConnection);
    });
}

}  // namespace qx::gui
