// The engine's libraries of commands, one per concern; the registry puts
// them together.
#pragma once
#include <span>
#include <string_view>

#include "engine/command.h"

namespace engine {

Library runLibrary();      // DEBUG, TERMINA
Library flowLibrary();     // SE, SENÃO, ENQUANTO, REPETE, FIM, DESVIA, CHAMA, RETORNA
Library valueLibrary();    // SEJA
Library textLibrary();     // arithmetic and text commands, RANDOMIZA
Library listLibrary();     // LISTA
Library channelLibrary();  // ABRE, FECHA, ESCREVE, LE from a channel, CHECA
Library speechLibrary();   // FALA, SOLETRA, SINTCONFIG, FALAHORA, MENSAGEM, TOCA, MCI
Library screenLibrary();   // TELA, COR, FUNDO, TITULO, BIPA, ALARME, ESPERA
Library inputLibrary();    // LE from the keyboard, the mouse and a piped program
Library menuLibrary();     // MENU

// LE #n v: the channel form of LE, to which LE hands its channel operands.
Status readLineFromChannel(Interp& in, std::string_view operands);
Library fileLibrary();     // REMOVE, RENOMEIA, REPLICA, DIR, TAMARQ, HTAMARQ
Library searchLibrary();   // BUSCA
Library byteLibrary();     // CRIABIN, ESCREVEBYTE, LEBYTE, GRAVABYTES, LIMPABYTES, FECHABIN
Library programLibrary();  // EXECUTA, EXISTEPROG, ENVIACMD, CMD
Library netLibrary();      // INTERNET, CONECTA, ATIVASSL, SERVE, OBSERVA, IP
Library downloadLibrary(); // TRAZDAREDE
Library automationLibrary(); // DIGITA, ACIONA, CLICA, JANELA, CAPTURA, HANDLE, TRANSFERE, MSAA
Library deviceLibrary();   // IMAGEM, MIDI, SENSOR
Library encodingLibrary(); // ANSIPARAUTF8, UTF8PARAANSI, CODBASE64, DECODBASE64, ADQUOTED, REMOVEQUOTED, CODARQBASE64, DECODARQBASE64, HTTP


// Every library above, in the order the registry takes them.
std::span<const Library> libraries();

}  // namespace engine
