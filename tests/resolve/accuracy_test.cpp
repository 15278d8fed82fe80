// The accuracy oracle: every address written from the real files must come back to its own
// record (KEN_ALL.CSV) or office (JIGYOSYO.CSV), and never to another one as if certain.
#include <gtest/gtest.h>

#include "resolve.h"
#include "written_addresses.h"

namespace tovra::resolve {
namespace {

struct Score {
  double right = 0, wrong = 0, city_right = 0;  // shares of the set
};

Score Measure(const Resolver& resolver, const std::vector<resolve_oracle::WrittenAddress>& set,
              const ResolveOptions& options) {
  long right = 0, wrong = 0, city = 0;
  for (const auto& a : set) {
    const Resolution r = resolver.Resolve(a.text, options);
    if (r.level == 4) (r.postcode == a.postcode ? right : wrong) += 1;
    if (r.level >= 2 && r.dantai == a.dantai) ++city;
  }
  const auto n = static_cast<double>(set.size());
  return {right / n, wrong / n, city / n};
}

TEST(Accuracy, AddressesWrittenFromTheRealFiles) {
  const std::string dir = POSTAL_DATA_DIR;
  const std::string ken = resolve_oracle::ReadWholeFile(dir + "/ken_all.csv");
  const std::string jig = resolve_oracle::ReadWholeFile(dir + "/jigyosyo.csv");
  Resolver resolver;
  std::string error;
  ASSERT_TRUE(resolver.LoadBytes(ken, error)) << error;
  resolver.LoadOfficeBytes(jig);

  const auto towns = resolve_oracle::FromKenAll(ken);
  ASSERT_GT(towns.size(), 100000u);
  const Score t = Measure(resolver, towns, {});
  EXPECT_GE(t.right, 0.995);
  EXPECT_LE(t.wrong, 0.001);
  EXPECT_GE(t.city_right, 0.995);

  const auto offices = resolve_oracle::FromJigyosyo(jig);
  ASSERT_GT(offices.size(), 20000u);
  const Score o = Measure(resolver, offices, {true, 1});
  EXPECT_GE(o.right, 0.90);  // the rest share their address with other offices: level 3
  EXPECT_LE(o.wrong, 0.001);
  EXPECT_GE(o.city_right, 0.995);
  // Without the offices, their addresses still reach prefecture and city.
  EXPECT_GE(Measure(resolver, offices, {}).city_right, 0.995);
}

}  // namespace
}  // namespace tovra::resolve
