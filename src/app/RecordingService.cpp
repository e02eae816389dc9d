#include "app/RecordingService.h"

#include "core/AppError.h"

namespace tarn {

RecordingService::RecordingService(std::shared_ptr<RecorderBackend> backend, QObject *parent)
    : QObject(parent), backend_(std::move(backend))
{
}

RecordingService::~RecordingService() = default;

QCoro::Task<void> RecordingService::start(ContentFilter, std::optional<QRectF>, RecordingSettings,
                                          QString)
{
    throw RecorderFailure(QStringLiteral("녹화를 시작할 수 없습니다."));
    co_return;
}

QCoro::Task<void> RecordingService::stop()
{
    co_return;
}

} // namespace tarn
