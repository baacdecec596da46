#ifndef KORVANE_CLIENT_CHAT_H
#define KORVANE_CLIENT_CHAT_H
// One game's texts: those the server sends, shown in the message canvas and the log, and the
// chat box that the main toolbar's "Message" item opens over the top of the map view.
// Single-threaded.
#include <string>

#include "client/chatline.h"

struct cGameSession;

class cChat {
public:
  // The session is borrowed and outlives the chat.
  explicit cChat(cGameSession& session) : session(session) {}

  void open();  // an empty box, drawn at once
  void close() { line.close(); }
  bool isOpen() const { return line.isOpen(); }
  const cChatLine& myLine() const { return line; }
  // A key typed while the box is open: Return shows and sends the line, Esc drops it.
  void handleKey(int key);
  // Draws the open box when the screen parts just drawn may have covered it, or its text
  // changed.
  void redrawOver(int drawnParts);

  // Shown in the message canvas and written to the log as "Message: %s".
  void showText(const char* text);
  void showReceivedTexts();  // those the map took from the server

private:
  void send();
  void draw();

  cGameSession& session;
  cChatLine line;
};

#endif
