// consoledemo: the console on its own. Draws coloured text and names every
// key pressed until Esc.
#include <string>

#include "console/keyboard.h"
#include "console/program.h"
#include "console/screen.h"
#include "platform/base/codepage.h"

int main(int argc, char** argv) {
  platform::Options options;
  if (const int status = console::startProgram(argc, argv, "", options); status >= 0) return status;

  // Text inside the system is Windows-1252; this file is UTF-8.
  console::setTitle(platform::utf8ToCp1252("Escuta - demonstração do console"));
  console::clearScreen();
  const char* kLines[] = {"Escuta: o console falante", "80 colunas, 25 linhas, 16 cores",
                          "Pressione teclas; Esc termina."};
  for (int i = 0; i < 3; ++i) {
    console::setTextColor(14 - i * 2);
    console::writeLine(kLines[i]);
  }
  for (int colour = 0; colour < 16; ++colour) {
    console::setBackColor(colour);
    console::setTextColor(colour == 15 ? 0 : 15);
    console::writeText(colour < 10 ? " " + std::to_string(colour) + "  " : " " + std::to_string(colour) + " ");
  }
  console::setBackColor(0);
  console::setTextColor(15);
  console::writeText("\r\n\r\n");
  for (;;) {
    const uint8_t code = console::readKey();
    const int scan = code == 0 ? console::readKey() : -1;
    console::setTextColor(11);
    console::writeText("Tecla: ");
    console::setTextColor(15);
    console::writeLine(console::keyCodeText(code, scan, true));
    if (code == 27) break;
  }
  console::endProgram();
  return 0;
}
