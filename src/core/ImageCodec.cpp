#include "core/ImageCodec.h"

namespace tarn::ImageCodec {

void validate(int64_t width, int64_t height)
{
    if (width < 1 || height < 1)
        throw ImageFailure::invalidDimensions();
    if (width > maximumDimension || height > maximumDimension)
        throw ImageFailure::tooLarge();
    if (width * height > maximumPixels)
        throw ImageFailure::tooLarge();
}

} // namespace tarn::ImageCodec
