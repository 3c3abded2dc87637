// The comparison point of bench/startup.sh: a bare Qt 6 Widgets program that shows COUNT
// frameless QTextEdit windows (1 by default) and does nothing else.
#include <QApplication>
#include <QTextEdit>
#include <algorithm>
#include <memory>
#include <vector>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 1;
    std::vector<std::unique_ptr<QTextEdit>> windows;
    for (int i = 0; i < count; ++i) {
        auto edit = std::make_unique<QTextEdit>();
        edit->setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        edit->resize(250, 200);
        edit->move(20 + 10 * i, 20 + 10 * i);
        edit->show();
        windows.push_back(std::move(edit));
    }
    return QApplication::exec();
}
