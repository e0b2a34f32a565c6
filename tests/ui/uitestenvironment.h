#pragma once

#include <QWidget>

// Every test of a binary built with uitestenvironment.cpp runs with the application identity of the tool
// and a private, empty application-data directory (settings file and logs), so that tests neither see
// nor touch each other's or the user's files; the compiled-in artwork is registered.

template <typename T = QWidget> T* child(QWidget* parent, const char* name)
{
    return parent->findChild<T*>(name);
}
