// The role and state words scripts are given for the desktop's accessible objects.
#include "automation/accessible_roles.h"

#include <atspi/atspi-constants.h>
#include <gtest/gtest.h>

#include <string>

namespace {

struct RoleCase {
  int role;
  int code;
  const char* text;
};

TEST(AccessibleRoles, EachRoleHasItsNumberAndText) {
  const RoleCase cases[] = {
      {ATSPI_ROLE_PUSH_BUTTON, 43, "botão de ação"},
      {ATSPI_ROLE_CHECK_BOX, 44, "caixa de seleção"},
      {ATSPI_ROLE_RADIO_BUTTON, 45, "botão de opção"},
      {ATSPI_ROLE_TEXT, 42, "texto editável"},
      {ATSPI_ROLE_ENTRY, 42, "texto editável"},
      {ATSPI_ROLE_PASSWORD_TEXT, 42, "texto editável"},
      {ATSPI_ROLE_SLIDER, 51, "controle deslizante"},
      {ATSPI_ROLE_FRAME, 9, "janela"},
      {ATSPI_ROLE_LABEL, 41, "texto"},
      {ATSPI_ROLE_MENU_ITEM, 12, "item de menu"},
      {ATSPI_ROLE_LIST_ITEM, 34, "item de lista"},
      {ATSPI_ROLE_PAGE_TAB_LIST, 60, "lista de guias"},
      // No counterpart: the number of a role given in another form, no text.
      {ATSPI_ROLE_UNKNOWN, 8, ""},
      {ATSPI_ROLE_REDUNDANT_OBJECT, 8, ""},
      {ATSPI_ROLE_LAST_DEFINED, 8, ""},
      {-5, 8, ""},
      // No role at all.
      {ATSPI_ROLE_INVALID, 0, ""},
  };
  for (const RoleCase& c : cases) {
    const automation::RoleDescription d = automation::describeRole(c.role);
    EXPECT_EQ(d.code, c.code) << c.role;
    EXPECT_EQ(std::string(d.text), c.text) << c.role;
  }
}

// Every role with a counterpart has a text; only the invalid role has no number.
TEST(AccessibleRoles, EveryRoleIsNamedOrOther) {
  for (int role = ATSPI_ROLE_INVALID + 1; role < ATSPI_ROLE_LAST_DEFINED; ++role) {
    const automation::RoleDescription d = automation::describeRole(role);
    EXPECT_GT(d.code, 0) << role;
    EXPECT_TRUE(d.code == 8 || *d.text) << role;
  }
}

TEST(AccessibleRoles, UnavailableOutweighsChecked) {
  struct StateCase {
    bool checked, unavailable;
    const char* text;
  };
  const StateCase cases[] = {
      {false, false, ""},
      {true, false, "marcado"},
      {false, true, "indisponível"},
      {true, true, "indisponível"},
  };
  for (const StateCase& c : cases) EXPECT_EQ(automation::stateText(c.checked, c.unavailable), c.text);
}

}  // namespace
