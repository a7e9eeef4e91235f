#include "Script/SampleScript.h"

#include "Platform/Bundle/Bundle.h"

namespace vorela {

const std::string& SampleScript::text() {
    static const std::string kText =
        "Buenos días a todos y gracias por acompañarnos. Hoy les presento los resultados del "
        "tercer trimestre de Cafetales del Lago, y quiero hacerlo con calma, mirando los números "
        "de frente.\n\n"
        "Empezamos hace veintidós años con un solo beneficio de café en la orilla del lago y con "
        "doce personas que creían en una idea sencilla: pagar un precio justo y tostar cerca de "
        "donde crece el grano. Hoy somos 340 personas, tenemos 3 plantas de tostado y vendemos en "
        "5 países de la región.\n\n"
        "En este trimestre vendimos Q48 millones, frente a Q41 millones del mismo trimestre del "
        "año pasado. El margen bruto llegó al 18.4%, casi dos puntos más de lo que planeábamos, y "
        "el margen operativo cerró en 9.7%. Cada quintal exportado nos dejó en promedio 2.5 veces "
        "lo que nos dejaba hace cinco años.\n\n"
        "Hay tres razones detrás de este resultado. La primera es la calidad: el programa con los "
        "productores nos dio más café de altura y menos merma. La segunda es la eficiencia: la "
        "nueva tostadora de la planta del norte bajó el consumo de gas un 12.5%. La tercera razón "
        "es la gente: el equipo comercial sumó 27 clientes más.\n\n"
        "No todo salió bien, y quiero contarlo aquí con la misma claridad. Compramos demasiado "
        "café verde en junio, cuando el precio parecía que iba a subir, y cerramos el trimestre "
        "con inventario para casi cuatro meses. Ese exceso nos costó Q3 millones en almacenaje y "
        "capital inmóvil. Ya cambiamos también la regla de compras para que ninguna decisión así "
        "dependa de una sola persona.\n\n"
        "Ahora hablemos del futuro económico. Nuestra meta para 2031 es duplicar las ventas, "
        "llegar a Q400 millones al año y lograr que la mitad de los productores tenga "
        "certificación de cultivo sostenible. Es una meta ambiciosa, pero está a nuestro "
        "alcance.\n\n"
        "El plan tiene cuatro pasos. Primero, abrir una cuarta planta en la costa sur el próximo "
        "año. Segundo, invertir Q15 millones en capacitación técnica para las fincas que nos "
        "venden. Tercero, revisar el inventario cada semana con un tablero fácil de leer. Cuarto, "
        "medir lo que importa y compartirlo con ustedes cada trimestre.\n\n"
        "Para terminar, gracias. Gracias a los productores que madrugan, a los equipos de las "
        "plantas, a quienes manejan los camiones y a quienes atienden a cada cliente. Estos "
        "resultados son de ustedes. Sigamos trabajando con la misma humildad y la misma alegría. "
        "Muchas gracias.";
    return kText;
}

std::string SampleScript::title() { return Bundle::localized("Guion de ejemplo"); }

}  // namespace vorela
