#include "RussianNames.h"

#include "RandomValues.h"

#include <vector>

using namespace Qt::StringLiterals;

namespace {

using Words = std::vector<QString>;

// Surnames whose female form adds "а" (-ов, -ев, -ёв, -ин).
const Words Surnames = {
    u"Иванов"_s,   u"Петров"_s,    u"Смирнов"_s,   u"Кузнецов"_s,  u"Попов"_s,     u"Васильев"_s,
    u"Соколов"_s,  u"Михайлов"_s,  u"Новиков"_s,   u"Фёдоров"_s,   u"Морозов"_s,   u"Волков"_s,
    u"Алексеев"_s, u"Лебедев"_s,   u"Семёнов"_s,   u"Егоров"_s,    u"Павлов"_s,    u"Козлов"_s,
    u"Степанов"_s, u"Николаев"_s,  u"Орлов"_s,     u"Андреев"_s,   u"Макаров"_s,   u"Никитин"_s,
    u"Захаров"_s,  u"Зайцев"_s,    u"Соловьёв"_s,  u"Борисов"_s,   u"Яковлев"_s,   u"Григорьев"_s,
    u"Романов"_s,  u"Воробьёв"_s,  u"Сергеев"_s,   u"Кузьмин"_s,   u"Фролов"_s,    u"Александров"_s,
    u"Дмитриев"_s, u"Королёв"_s,   u"Гусев"_s,     u"Киселёв"_s,   u"Ильин"_s,     u"Максимов"_s,
    u"Поляков"_s,  u"Сорокин"_s,   u"Виноградов"_s, u"Ковалёв"_s,  u"Белов"_s,     u"Медведев"_s,
};

const Words MaleNames = {
    u"Александр"_s, u"Алексей"_s, u"Андрей"_s,  u"Сергей"_s, u"Дмитрий"_s, u"Михаил"_s,  u"Иван"_s,
    u"Николай"_s,   u"Владимир"_s, u"Евгений"_s, u"Павел"_s,  u"Игорь"_s,   u"Олег"_s,    u"Юрий"_s,
    u"Виктор"_s,    u"Артём"_s,   u"Максим"_s,  u"Роман"_s,  u"Константин"_s, u"Денис"_s,
};

const Words FemaleNames = {
    u"Елена"_s,   u"Ольга"_s,  u"Наталья"_s, u"Татьяна"_s,   u"Ирина"_s,  u"Светлана"_s, u"Анна"_s,
    u"Мария"_s,   u"Екатерина"_s, u"Юлия"_s, u"Марина"_s,    u"Галина"_s, u"Людмила"_s,  u"Надежда"_s,
    u"Оксана"_s,  u"Анастасия"_s, u"Дарья"_s, u"Ксения"_s,   u"Валентина"_s, u"Вера"_s,
};

// Patronymics by the father's name: the male form; the female form replaces
// the ending "ич" by "на".
const Words Patronymics = {
    u"Александрович"_s, u"Алексеевич"_s, u"Андреевич"_s,  u"Сергеевич"_s,  u"Дмитриевич"_s,
    u"Михайлович"_s,    u"Иванович"_s,   u"Николаевич"_s, u"Владимирович"_s, u"Викторович"_s,
    u"Петрович"_s,      u"Юрьевич"_s,    u"Олегович"_s,   u"Павлович"_s,   u"Игоревич"_s,
};

const Words Cities = {
    u"Москва"_s,   u"Санкт-Петербург"_s, u"Новосибирск"_s, u"Екатеринбург"_s, u"Казань"_s,
    u"Нижний Новгород"_s, u"Челябинск"_s, u"Самара"_s,    u"Омск"_s,         u"Ростов-на-Дону"_s,
    u"Уфа"_s,      u"Красноярск"_s,      u"Воронеж"_s,     u"Пермь"_s,        u"Волгоград"_s,
    u"Краснодар"_s, u"Тюмень"_s,         u"Иркутск"_s,     u"Ярославль"_s,    u"Тула"_s,
};

const Words Streets = {
    u"ул. Ленина"_s,    u"ул. Советская"_s, u"ул. Мира"_s,       u"ул. Молодёжная"_s,
    u"ул. Центральная"_s, u"ул. Школьная"_s, u"ул. Садовая"_s,   u"пр-т Победы"_s,
    u"ул. Гагарина"_s,  u"ул. Пушкина"_s,   u"ул. Кирова"_s,     u"ул. Лесная"_s,
    u"ул. Набережная"_s, u"ул. Октябрьская"_s, u"пер. Почтовый"_s, u"б-р Строителей"_s,
};

const Words Districts = {
    u"Центральный район"_s, u"Ленинский район"_s, u"Октябрьский район"_s,
    u"Кировский район"_s,   u"Советский район"_s, u"Заречный район"_s,
};

const Words CompanyForms = {u"ООО"_s, u"АО"_s, u"ПАО"_s, u"ЗАО"_s};

const Words CompanyNames = {
    u"Вектор"_s,       u"Альфа-Строй"_s, u"ТехноСервис"_s, u"Гермес"_s,      u"Меридиан"_s,
    u"СтройИнвест"_s,  u"Агрокомплекс"_s, u"Промэнерго"_s, u"Сибирские сети"_s, u"Волга-Логистик"_s,
    u"Уральский трубный завод"_s, u"Северный ветер"_s, u"Торговый дом Восток"_s,
};

const Words AuthorityPlaces = {
    u"Арбат"_s, u"Хамовники"_s, u"Басманный"_s, u"Тверской"_s, u"Пресненский"_s,
    u"Лефортово"_s, u"Марьино"_s, u"Сокольники"_s,
};

const Words Courts = {
    u"Арбатский районный суд г. Москвы"_s,     u"Хамовнический районный суд г. Москвы"_s,
    u"Басманный районный суд г. Москвы"_s,     u"Тверской районный суд г. Москвы"_s,
    u"Ленинский районный суд г. Екатеринбурга"_s, u"Советский районный суд г. Казани"_s,
};

const Words Comments = {
    u"Кредит погашается в соответствии с графиком"_s,
    u"Реструктуризация по заявлению заёмщика"_s,
    u"Просроченная задолженность погашена в полном объёме"_s,
    u"Досрочное частичное погашение"_s,
    u"Изменение даты ежемесячного платежа"_s,
    u"Кредитные каникулы по заявлению заёмщика"_s,
};

QString PickWord(RandomValues& random, const Words& words) { return random.Pick(words); }

QString FemalePatronymic(const QString& male) { return male.chopped(2) + u"на"_s; }

}  // namespace

QString Person::FullName() const { return Surname + u' ' + FirstName + u' ' + Patronymic; }

namespace RussianNames {

Person RandomPerson(RandomValues& random)
{
    Person person;
    person.Male = random.Chance(0.5);
    const QString surname = PickWord(random, Surnames);
    const QString patronymic = PickWord(random, Patronymics);
    person.Surname = person.Male ? surname : surname + u'а';
    person.FirstName = PickWord(random, person.Male ? MaleNames : FemaleNames);
    person.Patronymic = person.Male ? patronymic : FemalePatronymic(patronymic);
    return person;
}

QString City(RandomValues& random) { return PickWord(random, Cities); }

QString Street(RandomValues& random) { return PickWord(random, Streets); }

QString District(RandomValues& random) { return PickWord(random, Districts); }

QString Company(RandomValues& random)
{
    return PickWord(random, CompanyForms) + u" «"_s + PickWord(random, CompanyNames) + u'»';
}

QString IdAuthority(RandomValues& random)
{
    return u"Отделом УФМС России по району "_s + PickWord(random, AuthorityPlaces);
}

QString Court(RandomValues& random) { return PickWord(random, Courts); }

QString Comment(RandomValues& random) { return PickWord(random, Comments); }

}  // namespace RussianNames
