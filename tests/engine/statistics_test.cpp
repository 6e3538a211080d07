// The response-time classes of the statistics record.
#include <gtest/gtest.h>

#include "statistics_record.h"

namespace qx {
namespace {

TEST(ResponseClasses, EachBoundaryStartsTheNextClass)
{
    const int64_t bounds[] = {20, 50, 100, 500, 1000};
    EXPECT_EQ(responseClassOf(0), 0u);
    for (std::size_t i = 0; i < std::size(bounds); ++i) {
        EXPECT_EQ(responseClassOf(bounds[i] - 1), i) << bounds[i];
        EXPECT_EQ(responseClassOf(bounds[i]), i + 1) << bounds[i];
    }
    EXPECT_EQ(responseClassOf(86'400'000), 5u);
}

} // namespace
} // namespace qx
