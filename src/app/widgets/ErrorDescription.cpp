// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/widgets/ErrorDescription.h"

#include <new>

#include <QException>

#include "core/base/Failure.h"

namespace tarn {

QString describe(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const Failure &failure) {
        return failure.description();
    } catch (const QUnhandledException &wrapped) {
        if (wrapped.exception())
            return describe(wrapped.exception());
        return QStringLiteral("알 수 없는 오류가 발생했습니다.");
    } catch (const std::bad_alloc &) {
        // Its own text ("std::bad_alloc") tells the user nothing.
        return QStringLiteral("메모리가 부족해 작업을 끝내지 못했습니다.");
    } catch (const std::exception &other) {
        // Not one of ours, so its own text is in English at best: it only follows.
        return QStringLiteral("예기치 않은 오류가 발생했습니다 (%1).").arg(QString::fromUtf8(other.what()));
    } catch (...) {
        return QStringLiteral("알 수 없는 오류가 발생했습니다.");
    }
}

} // namespace tarn
