// The least a Qt program does before its first window is up: start Qt,
// show a dialog with one label, say "shown" and end. tolvane_bench times it
// beside the search application's own start-up on Qt, so that figure reads
// against what Qt itself costs on this machine at this moment.
#include <cstdio>  // std::puts, std::fflush

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QTimer>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QDialog dialog;
  QLabel label(QStringLiteral("検索開始"), &dialog);
  QTimer::singleShot(0, &app, [&app] {
    std::puts("shown");
    std::fflush(stdout);
    app.quit();
  });
  dialog.show();
  return app.exec();
}
