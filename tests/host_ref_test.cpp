// HostRef gives back exactly the references it holds, on every path.
#include "plugin/host_ref.hpp"

#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>

#include "host/memory_host.hpp"

namespace {

using zeb::adopt_ref;
using zeb::HostRef;
using zeb::host::MemoryHost;
using zeb::host::MemoryImage;

class HostRefTest : public testing::Test {
 protected:
  // Every test leaves the ledger balanced; the host's own ownership is not counted.
  void TearDown() override {
    EXPECT_EQ(host.ledger().outstanding(), 0);
    EXPECT_EQ(host.ledger().over_releases, 0);
  }
  MemoryImage& handed_out() {
    image.AddRef();  // as the host does when it hands an object over
    return image;
  }
  MemoryHost host;
  MemoryImage& image = host.make_image(2, 2);
};

TEST_F(HostRefTest, AdoptTakesOverAndScopeReleases) {
  {
    HostRef<zeb::HostImage> held(&handed_out(), adopt_ref);
    EXPECT_EQ(image.ref_count(), 1);
  }
  EXPECT_EQ(image.ref_count(), 0);
}

TEST_F(HostRefTest, PlainPointerAddsItsOwn) {
  HostRef<zeb::HostImage> held(&image);
  EXPECT_EQ(image.ref_count(), 1);
}

TEST_F(HostRefTest, CopyAddsMoveTransfers) {
  HostRef<zeb::HostImage> first(&handed_out(), adopt_ref);
  {
    HostRef<zeb::HostImage> copy = first;
    EXPECT_EQ(image.ref_count(), 2);
    HostRef<zeb::HostImage> moved = std::move(copy);
    EXPECT_EQ(image.ref_count(), 2);
    EXPECT_FALSE(copy);  // NOLINT: a moved-from holder is empty
    first = moved;       // self-shared assignment keeps the count right
    EXPECT_EQ(image.ref_count(), 2);
  }
  EXPECT_EQ(image.ref_count(), 1);
  first.reset();
  EXPECT_EQ(image.ref_count(), 0);
  first.reset();  // an empty holder releases nothing
}

TEST_F(HostRefTest, ReleasesWhileAnExceptionUnwinds) {
  EXPECT_THROW(
      {
        HostRef<zeb::HostImage> held(&handed_out(), adopt_ref);
        float rgba[4];
        held->get_pixel_rgba(5, 5, rgba, nullptr);  // outside the image: the host throws
      },
      std::out_of_range);
  EXPECT_EQ(image.ref_count(), 0);
}

TEST_F(HostRefTest, NullIsEmpty) {
  HostRef<zeb::AttributeStream> none(nullptr, adopt_ref);
  EXPECT_FALSE(none);
  EXPECT_EQ(none.get(), nullptr);
}

}  // namespace
