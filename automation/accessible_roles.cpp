#include "automation/accessible_roles.h"

#include <atspi/atspi-constants.h>

namespace automation {
namespace {

// The role number given for a role that has no counterpart.
constexpr int kOtherRole = 8;

struct RoleLine {
  AtspiRole role;
  RoleDescription description;
};

// One line per AT-SPI role that has a counterpart; the README shows the same table.
constexpr RoleLine kRoles[] = {
    {ATSPI_ROLE_TITLE_BAR, {1, "barra de título"}},
    {ATSPI_ROLE_MENU_BAR, {2, "barra de menus"}},
    {ATSPI_ROLE_SCROLL_BAR, {3, "barra de rolagem"}},
    {ATSPI_ROLE_ALERT, {8, "alerta"}},
    {ATSPI_ROLE_NOTIFICATION, {8, "alerta"}},
    {ATSPI_ROLE_WINDOW, {9, "janela"}},
    {ATSPI_ROLE_FRAME, {9, "janela"}},
    {ATSPI_ROLE_DESKTOP_FRAME, {9, "janela"}},
    {ATSPI_ROLE_INTERNAL_FRAME, {9, "janela"}},
    {ATSPI_ROLE_POPUP_MENU, {11, "menu pop-up"}},
    {ATSPI_ROLE_MENU, {11, "menu pop-up"}},
    {ATSPI_ROLE_MENU_ITEM, {12, "item de menu"}},
    {ATSPI_ROLE_CHECK_MENU_ITEM, {12, "item de menu"}},
    {ATSPI_ROLE_RADIO_MENU_ITEM, {12, "item de menu"}},
    {ATSPI_ROLE_TEAROFF_MENU_ITEM, {12, "item de menu"}},
    {ATSPI_ROLE_TOOL_TIP, {13, "dica de ferramenta"}},
    {ATSPI_ROLE_APPLICATION, {14, "aplicativo"}},
    {ATSPI_ROLE_DOCUMENT_FRAME, {15, "documento"}},
    {ATSPI_ROLE_DOCUMENT_TEXT, {15, "documento"}},
    {ATSPI_ROLE_DOCUMENT_WEB, {15, "documento"}},
    {ATSPI_ROLE_DOCUMENT_EMAIL, {15, "documento"}},
    {ATSPI_ROLE_DOCUMENT_SPREADSHEET, {15, "documento"}},
    {ATSPI_ROLE_DOCUMENT_PRESENTATION, {15, "documento"}},
    {ATSPI_ROLE_PANEL, {16, "painel"}},
    {ATSPI_ROLE_FILLER, {16, "painel"}},
    {ATSPI_ROLE_SCROLL_PANE, {16, "painel"}},
    {ATSPI_ROLE_SPLIT_PANE, {16, "painel"}},
    {ATSPI_ROLE_ROOT_PANE, {16, "painel"}},
    {ATSPI_ROLE_LAYERED_PANE, {16, "painel"}},
    {ATSPI_ROLE_GLASS_PANE, {16, "painel"}},
    {ATSPI_ROLE_OPTION_PANE, {16, "painel"}},
    {ATSPI_ROLE_VIEWPORT, {16, "painel"}},
    {ATSPI_ROLE_CHART, {17, "gráfico"}},
    {ATSPI_ROLE_DIALOG, {18, "caixa de diálogo"}},
    {ATSPI_ROLE_FILE_CHOOSER, {18, "caixa de diálogo"}},
    {ATSPI_ROLE_COLOR_CHOOSER, {18, "caixa de diálogo"}},
    {ATSPI_ROLE_FONT_CHOOSER, {18, "caixa de diálogo"}},
    {ATSPI_ROLE_GROUPING, {20, "agrupamento"}},
    {ATSPI_ROLE_SEPARATOR, {21, "separador"}},
    {ATSPI_ROLE_TOOL_BAR, {22, "barra de ferramentas"}},
    {ATSPI_ROLE_STATUS_BAR, {23, "barra de status"}},
    {ATSPI_ROLE_TABLE, {24, "tabela"}},
    {ATSPI_ROLE_TREE_TABLE, {24, "tabela"}},
    {ATSPI_ROLE_COLUMN_HEADER, {25, "cabeçalho de coluna"}},
    {ATSPI_ROLE_TABLE_COLUMN_HEADER, {25, "cabeçalho de coluna"}},
    {ATSPI_ROLE_ROW_HEADER, {26, "cabeçalho de linha"}},
    {ATSPI_ROLE_TABLE_ROW_HEADER, {26, "cabeçalho de linha"}},
    {ATSPI_ROLE_TABLE_ROW, {28, "linha"}},
    {ATSPI_ROLE_TABLE_CELL, {29, "célula"}},
    {ATSPI_ROLE_LINK, {30, "link"}},
    {ATSPI_ROLE_LIST, {33, "lista"}},
    {ATSPI_ROLE_LIST_BOX, {33, "lista"}},
    {ATSPI_ROLE_LIST_ITEM, {34, "item de lista"}},
    {ATSPI_ROLE_TREE, {35, "estrutura de tópicos"}},
    {ATSPI_ROLE_TREE_ITEM, {36, "item de estrutura de tópicos"}},
    {ATSPI_ROLE_PAGE_TAB, {37, "guia"}},
    {ATSPI_ROLE_PAGE, {38, "página de propriedades"}},
    {ATSPI_ROLE_ICON, {40, "gráfico"}},
    {ATSPI_ROLE_IMAGE, {40, "gráfico"}},
    {ATSPI_ROLE_LABEL, {41, "texto"}},
    {ATSPI_ROLE_STATIC, {41, "texto"}},
    {ATSPI_ROLE_CAPTION, {41, "texto"}},
    {ATSPI_ROLE_HEADING, {41, "texto"}},
    {ATSPI_ROLE_ACCELERATOR_LABEL, {41, "texto"}},
    {ATSPI_ROLE_TEXT, {42, "texto editável"}},
    {ATSPI_ROLE_ENTRY, {42, "texto editável"}},
    {ATSPI_ROLE_PASSWORD_TEXT, {42, "texto editável"}},
    {ATSPI_ROLE_PARAGRAPH, {42, "texto editável"}},
    {ATSPI_ROLE_TERMINAL, {42, "texto editável"}},
    {ATSPI_ROLE_PUSH_BUTTON, {43, "botão de ação"}},
    {ATSPI_ROLE_TOGGLE_BUTTON, {43, "botão de ação"}},
    {ATSPI_ROLE_CHECK_BOX, {44, "caixa de seleção"}},
    {ATSPI_ROLE_RADIO_BUTTON, {45, "botão de opção"}},
    {ATSPI_ROLE_COMBO_BOX, {46, "caixa de combinação"}},
    {ATSPI_ROLE_PROGRESS_BAR, {48, "barra de progresso"}},
    {ATSPI_ROLE_LEVEL_BAR, {48, "barra de progresso"}},
    {ATSPI_ROLE_DIAL, {49, "disco"}},
    {ATSPI_ROLE_SLIDER, {51, "controle deslizante"}},
    {ATSPI_ROLE_SPIN_BUTTON, {52, "botão de rotação"}},
    {ATSPI_ROLE_ANIMATION, {54, "animação"}},
    {ATSPI_ROLE_MATH, {55, "equação"}},
    {ATSPI_ROLE_PUSH_BUTTON_MENU, {57, "botão de menu"}},
    {ATSPI_ROLE_PAGE_TAB_LIST, {60, "lista de guias"}},
    {ATSPI_ROLE_TIMER, {61, "relógio"}},
};

}  // namespace

RoleDescription describeRole(int atspiRole) {
  if (atspiRole == ATSPI_ROLE_INVALID) return {};
  for (const RoleLine& line : kRoles) {
    if (line.role == atspiRole) return line.description;
  }
  return {kOtherRole, ""};
}

std::string stateText(bool checked, bool unavailable) {
  if (unavailable) return "indisponível";
  return checked ? "marcado" : "";
}

}  // namespace automation
