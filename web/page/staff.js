// The names last signed in on this device, the latest first, kept in the
// browser alone: the till serves no list of its staff before sign-in.
const recentKey = 'restaurant.recent-staff';
export function recentStaff() {
  try {
    const names = JSON.parse(localStorage.getItem(recentKey) ?? '[]');
    return Array.isArray(names) ? names.filter((name) => typeof name === 'string') : [];
  } catch {
    return [];
  }
}

export function rememberStaff(name) {
  const names = [name, ...recentStaff().filter((other) => other !== name)].slice(0, 6);
  localStorage.setItem(recentKey, JSON.stringify(names));
}

// Buttons for the recent names: a tap puts the name in the form and asks
// for the PIN.
export function recentStaffButtons(form) {
  return recentStaff().map((name) => {
    const chosen = document.createElement('button');
    chosen.type = 'button';
    chosen.textContent = name;
    chosen.addEventListener('click', () => {
      form.staff.value = name;
      form.pin.focus();
    });
    return chosen;
  });
}
