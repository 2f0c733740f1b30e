// Vantorel: joins a Yaesu-speaking station program and a Kenwood radio.
// The full wiring follows as its parts land; for now the window model only.
#include <QApplication>

#include "model/catmux_model.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  vantorel::model::CatmuxModel model;
  return 0;
}
