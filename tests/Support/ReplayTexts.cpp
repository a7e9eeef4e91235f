#include "Support/MatcherReplay.h"

namespace vorela::testing {

const std::string& spanishSpeech() {
    static const std::string text =
        "Buenas tardes a todos y gracias por acompañarnos en esta reunión. Hoy quiero contarles "
        "cómo cerramos el trimestre, qué aprendimos en el camino y hacia dónde vamos a partir de "
        "ahora. Les pido un poco de paciencia, porque hay muchos números, pero también hay una "
        "historia que vale la pena escuchar.\n\n"
        "Nuestra cooperativa nació hace 15 años en un garaje prestado, con tres socios, una "
        "camioneta vieja y muchas ganas de trabajar. Al principio repartíamos café de finca en "
        "finca, y cada entrega era una pequeña aventura. Con el tiempo sumamos panaderías, "
        "hoteles y mercados, y aprendimos que la puntualidad vale tanto como la calidad del "
        "grano.\n\n"
        "En este trimestre las ventas llegaron a Q92 millones, un crecimiento del 18.4% frente "
        "al mismo período del año pasado. El margen bruto subió a 31.2% y los gastos de "
        "operación se mantuvieron estables. Son cifras que nos llenan de orgullo, sobre todo "
        "porque las logramos sin abrir ninguna bodega nueva.\n\n"
        "¿Por qué crecimos tanto? Veo tres razones. La primera es el equipo de ventas, que "
        "visitó a cada cliente al menos una vez por mes. La segunda es la nueva ruta del "
        "occidente, que acortó los tiempos de entrega a la mitad. La tercera es la confianza "
        "de los productores, que nos vendieron su mejor cosecha a un precio justo.\n\n"
        "No todo salió bien, y prefiero decirlo con claridad. El inventario de empaques se nos "
        "fue de las manos durante seis semanas seguidas. Compramos de más en enero, guardamos "
        "cajas que nadie necesitaba y tuvimos que rematar una parte con pérdida. Ya cambiamos "
        "el proceso de compras y ahora revisamos las existencias todos los lunes.\n\n"
        "Miremos ahora hacia adelante. Nuestra meta es duplicar las ventas antes de 2031 sin "
        "perder la cercanía con los clientes que nos trajeron hasta aquí. Para lograrlo vamos a "
        "abrir dos centros de distribución, uno en el norte y otro en la costa, y vamos a "
        "contratar a 40 personas de las comunidades donde compramos el café.\n\n"
        "El plan tiene tres etapas. Primero ordenamos la logística y medimos cada entrega. "
        "Después ampliamos la flota con vehículos eléctricos, que ya probamos durante el "
        "verano con buenos resultados. Por último llevamos la marca a las ciudades grandes, "
        "con una tienda propia y una tienda en línea que atienda pedidos de todo el país.\n\n"
        "Quiero terminar con un agradecimiento sincero. Gracias a los productores, que confían "
        "en nosotros cosecha tras cosecha. Gracias al equipo, que trabajó sin descanso incluso "
        "en las semanas más difíciles. Y gracias a ustedes por escuchar. Ahora abrimos el "
        "espacio para sus preguntas.";
    return text;
}

const std::string& englishTalk() {
    static const std::string text =
        "Good morning everyone and thank you for coming. Today I would like to walk you through "
        "the results of the last quarter and the plan for the next one. There are a few "
        "numbers, but the story behind them matters more.\n\n"
        "Sales reached 92 million, which is 18 percent more than last year. The new routes in "
        "the north cut delivery times in half, and our customers noticed it right away. We also "
        "learned that ordering too much packaging costs real money.\n\n"
        "Looking ahead, we want to double our sales by 2031. We will open two new warehouses, "
        "hire local people and keep every promise we make to the farmers who trust us. Thank "
        "you for listening, and now I am happy to take your questions.";
    return text;
}

}  // namespace vorela::testing
