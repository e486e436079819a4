#include "core/window/application_title.h"

#include <gtest/gtest.h>

namespace tallowby {
namespace {

TEST(ApplicationTitleFor, DropsWordsFromTheEndUntilFortyCharactersRemain) {
  const std::pair<const char*, const char*> cases[] = {
      {"Tallowby", "Tallowby"},
      {"Tallowby Number Maker", "Tallowby Number"},  // at least one word goes
      {"Ab Cd", "Ab"},
      {"A very long display name that goes on and on and on",
       "A very long display name that goes on"},
      {"Averyveryveryveryveryveryveryveryveryverylongname",
       "Averyveryveryveryveryveryveryveryveryver"},
      {"Averyveryveryveryveryveryveryveryveryverylongname x",
       "Averyveryveryveryveryveryveryveryveryver"},
      {" Lead", ""},
  };
  for (const auto& [name, title] : cases)
    EXPECT_EQ(ApplicationTitleFor(name), title) << name;
}

}  // namespace
}  // namespace tallowby
