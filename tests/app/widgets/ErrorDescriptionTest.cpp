// SPDX-License-Identifier: GPL-3.0-or-later
#include <QException>

#include <gtest/gtest.h>

#include "app/widgets/ErrorDescription.h"
#include "core/base/AppError.h"
#include "core/base/LibraryFailure.h"

namespace tarn {
namespace {

std::exception_ptr captured(auto &&throwing)
{
    try {
        throwing();
    } catch (...) {
        return std::current_exception();
    }
    return {};
}

TEST(ErrorDescription, ShowsTheOriginalKoreanTextEvenWhenAWorkerThreadWrappedIt)
{
    const QString missing = LibraryFailure::missingItem().description();
    EXPECT_EQ(describe(captured([] { throw LibraryFailure::missingItem(); })), missing);
    const std::exception_ptr inner = captured([] { throw LibraryFailure::missingItem(); });
    EXPECT_EQ(describe(captured([&] { throw QUnhandledException(inner); })), missing);
    EXPECT_EQ(describe(captured([] { throw AppError(7, QStringLiteral("재생 가능한 영상 트랙이 없습니다.")); })),
              QStringLiteral("재생 가능한 영상 트랙이 없습니다."));
    EXPECT_EQ(describe(captured([] { throw std::runtime_error("disk full"); })),
              QStringLiteral("예기치 않은 오류가 발생했습니다 (disk full)."));
    EXPECT_EQ(describe(captured([] { throw 42; })), QStringLiteral("알 수 없는 오류가 발생했습니다."));
    EXPECT_EQ(describe(captured([] { throw std::bad_alloc(); })),
              QStringLiteral("메모리가 부족해 작업을 끝내지 못했습니다."));
}

} // namespace
} // namespace tarn
