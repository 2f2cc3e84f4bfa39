#include "PageWorker.h"

#include "WorkerReply.h"

PageWorker::PageWorker(QObject *parent) : QObject(parent)
{
    deadline_.setSingleShot(true);
    process_.setStandardErrorFile(QProcess::nullDevice());
    connect(&process_, &QProcess::readyReadStandardOutput, this, &PageWorker::readOutput);
    connect(&process_, &QProcess::finished, this, &PageWorker::workerEnded);
    connect(&process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            end(QStringLiteral("la lettura dell'immagine non si è potuta avviare"));
    });
    connect(&deadline_, &QTimer::timeout, this, &PageWorker::timeRanOut);
}

void PageWorker::start(const QByteArray &bytes, const QString &name,
                       std::chrono::milliseconds bound)
{
    ended_ = false;
    output_.clear();
    bound_ = bound;
    launch_ = std::make_unique<WorkerLaunch>();
    const QString fileName = name.isEmpty() ? QStringLiteral("immagine") : name;
    if (!launch_->prepare(process_, {QStringLiteral("--lavoro"), fileName})) {
        end(QStringLiteral("la lettura dell'immagine non si è potuta avviare"));
        return;
    }
    deadline_.start(bound);
    process_.start();
    if (ended_)
        return;
    process_.write(bytes);
    process_.closeWriteChannel();
}

void PageWorker::readOutput()
{
    if (ended_) {
        process_.readAllStandardOutput();
        return;
    }
    output_ += process_.readAllStandardOutput();
    if (output_.size() > kMostReplyBytes) {
        process_.kill();
        end(QStringLiteral("la lettura dell'immagine ha dato una risposta troppo lunga"));
    }
}

void PageWorker::workerEnded(int exitCode, QProcess::ExitStatus status)
{
    readOutput();
    if (ended_)
        return;
    if (status != QProcess::NormalExit || exitCode != 0) {
        end(QStringLiteral("la lettura dell'immagine si è interrotta"));
        return;
    }
    const std::optional<Conversion> reply = decodeReply(output_);
    if (!reply) {
        end(QStringLiteral("la lettura dell'immagine ha dato una risposta che non si capisce"));
        return;
    }
    end(*reply);
}

void PageWorker::timeRanOut()
{
    process_.kill();
    end(QStringLiteral("la lettura dell'immagine non è finita in %1 secondi")
            .arg(std::chrono::duration_cast<std::chrono::seconds>(bound_).count()));
}

void PageWorker::end(const QString &refusal)
{
    end(Conversion{QByteArray(), refusal, QImage()});
}

void PageWorker::end(const Conversion &conversion)
{
    if (ended_)
        return;
    ended_ = true;
    deadline_.stop();
    if (launch_)
        launch_->release(process_);
    launch_.reset();
    emit finished(conversion);
}
