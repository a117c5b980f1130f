#pragma once

#include <QString>

class RandomValues;

// A person as the Consumer Name record names one.
struct Person {
    QString Surname;
    QString FirstName;
    QString Patronymic;
    bool Male = true;

    QString FullName() const;  // surname, first name, patronymic
};

// Russian names, places and organisations for realistic text fields; every
// character of them has a byte in Windows-1251.
namespace RussianNames {

Person RandomPerson(RandomValues& random);
QString City(RandomValues& random);
QString Street(RandomValues& random);
QString District(RandomValues& random);
QString Company(RandomValues& random);
QString IdAuthority(RandomValues& random);
QString Court(RandomValues& random);
QString Comment(RandomValues& random);

}  // namespace RussianNames
