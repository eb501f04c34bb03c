#pragma once

#include <cxxabi.h>

#include <QString>
#include <cstdlib>
#include <memory>
#include <typeinfo>

namespace ovira {

// The type's name as written in its declaration, without namespaces:
// ovira::EKYCIntroduceViewModel → "EKYCIntroduceViewModel".
template <class T>
QString unqualifiedTypeName() {
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(
        abi::__cxa_demangle(typeid(T).name(), nullptr, nullptr, &status), std::free);
    const QString name = QString::fromLatin1(status == 0 && demangled ? demangled.get() : typeid(T).name());
    return name.section(QStringLiteral("::"), -1);
}

}  // namespace ovira
