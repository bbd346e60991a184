#include "tts/symbols.h"

#include <iterator>

namespace tts {
namespace {

// Names by code from 32 to 224; letters 97-122 and 224-252 borrow the names of
// the codes 32 below (à is named like À). Accents force the letter names' pronunciation ("sÃ©te").
constexpr std::string_view kNames[] = {
    // 32-47
    "espa\xE7o", "exclama\xE7\xE3o", "aspas", "sustenido", "cifr\xE3o", "porcento",
    "\xE9 comercial", "ap\xF3strofo", "abre par\xEAnteses", "fecha par\xEAnteses", "asterisco",
    "mais", "v\xEDrgula", "tra\xE7o", "ponto", "barra",
    // 48-63
    "z\xE9ro", "um", "dois", "tr\xEAs", "quatro", "cinco", "seis", "s\xE9te", "oito",
    "n\xF3ve", "dois pontos", "ponto e v\xEDrgula", "menor que", "igual", "maior que",
    "interroga\xE7\xE3o",
    // 64-79
    "arr\xF4" "ba", "a", "b\xEA", " s\xEA", " d\xEA", "\xE9", "\xE9" "fe", "j\xEA", "ag\xE1", "i",
    "j\xF3ta", "c\xE1", "\xE9le", "\xEAme", "\xEAne", "\xF3",
    // 80-95
    "p\xEA", "qu\xEA", "\xE9rre", "\xE9sse", "t\xEA", "u", "v\xEA", "d\xE1" "bliu", "xis",
    "\xEDpsilon", "z\xEA", "abre colchete", "raiz", "fecha colchete", "circunflexo",
    "sublinhado",
    // 96
    "crase",
    // 97-122 take the names of 65-90
    "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "",
    "", "", "", "",
    // 123-126
    "abre chave", "barra vertical", "fecha chave", "til",
    // 127-160
    "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "",
    "", "", "", "", "", "", "", "", "", "", "", "",
    // 161-176
    "exclama\xE7\xE3o reversa", "centavos de d\xF3lar", "libras", "s\xEDmbolo de moeda", "iene",
    "barra interrompida", "par\xE1grafo", "trema", "copyright", "ordinal feminino",
    "Aspas esquerdas", "nega\xE7\xE3o", "h\xED" "fen", "Marca registrada", "m\xE1" "cron", "grau",
    // 177-191
    "mais ou menos", "elevado ao quadrado", "elevado ao cubo", "acento agudo", "mi", "pi",
    "ponto no meio", "cedilha", "expoente um", "ordinal masculino", "aspas direitas",
    "um quarto", "um meio", "tr\xEAs quartos", "interroga\xE7\xE3o reversa",
    // 192-207
    "A grave", "A agudo", "A circunflexo", "A com til", "A com trema", "A bola", "A \xC9",
    "C\xEA cedilha", "\xC9 grave", "\xC9 agudo", "\xC9 circunflexo", "\xC9 com trema", "I grave",
    "I agudo", "I circunflexo", "I com trema",
    // 208-220
    "D\xEA cortado", "N com til", "\xD3 grave", "\xD3 agudo", "\xD3 circunflexo", "\xD3 com til",
    "\xD3 tremado", "vezes", "\xD3 cortado", "U grave", "U agudo", "U circunflexo",
    "U com trema",
    // 221-224
    "", "", "", ""};
static_assert(std::size(kNames) == 224 - 32 + 1);

}  // namespace

std::string_view symbolName(unsigned char c) {
  if (c >= 97 && c <= 122) c = static_cast<unsigned char>(c - 32);
  else if (c >= 224) c = static_cast<unsigned char>(c - 32);
  if (c < 32 || c > 224) return "";
  return kNames[c - 32];
}

}  // namespace tts
