// The menu as buttons, a kind under its heading: a dish sold out stays in
// its place, greyed and not to be tapped, so that nothing shifts under a
// waiter's finger.

const $ = (id) => document.getElementById(id);

// `addButton(kind, item)` makes the button that adds the item.
export function showMenu(menu, money, addButton) {
  const shown = $('menu');
  shown.replaceChildren();
  for (const [kind, heading] of [['dish', 'Main dishes'], ['snack', 'Snacks'], ['drink', 'Drinks']]) {
    const title = document.createElement('h3');
    title.textContent = heading;
    shown.append(title);
    for (const item of menu[kind]) {
      const add = addButton(kind, item);
      add.disabled = item.sold_out;
      const price = document.createElement('span');
      price.className = 'price';
      price.textContent = item.sold_out ? 'sold out' : money(item.price_cents);
      add.append(price);
      shown.append(add);
    }
  }
}
